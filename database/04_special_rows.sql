-- Rows with id -1 that the statements rely on. ferrule_reset() writes them
-- again through this same function.
--
-- * Device -1: history rows without a device are joined to it through
--   coalesce(deviceid, -1). It has no device type (devicetypeID -1 matches
--   no type), no subsystem and no hardware, so the lookups that join device
--   types, or filter by subsystem, location or hardware never return it. Its
--   name is 'none', the word the outputs use for "no value", which no
--   caller gives to a real device.
-- * Component -1, "motherboard": the board end of microscopic links and the
--   component of history rows without one. No board, type or hardware.
-- * Hardware component -1: components without hardware are joined to it
--   through coalesce(snbid, -1). No serial number, status, name or
--   location, so no lookup by those finds it.
CREATE FUNCTION vexa_insert_special_rows() RETURNS void
LANGUAGE sql
AS $$
  INSERT INTO vexa_lg_devices
    (devicename, devicetypeID, deviceid, node, promiscuous_mode, active,
     nodeused, system_name, serialnb, location)
  VALUES ('none', -1, -1, 0, 0, 0, 0, NULL, NULL, NULL);

  INSERT INTO vexa_hw_cpnts
    (snbid, serialnb, hwtype, hwname, responsible, user_comment, cpnt_status,
     replacable, location)
  VALUES (-1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);

  INSERT INTO vexa_lg_cpnts (cpntname, cpnttype, cpntid, snbid, motherboardid)
  VALUES ('motherboard', NULL, -1, NULL, NULL);
$$;

SELECT vexa_insert_special_rows();
