-- Server procedures of the updates: the replacement of an IP address and the
-- swap of the hardware of two functional devices. Like the rest of the
-- package they are functions, called as expressions from the library's
-- blocks; they run in the caller's transaction, never commit, and report a
-- failure through their result instead of raising.

-- Replaces the IP address old_ip by new_ip. Afterwards the vexa_ipinfo row
-- of old_ip carries new_ip, with login as its author and the time of the
-- change, and every port that held old_ip holds new_ip (the ports' key to
-- the address follows it). Returns the number of addresses replaced: 1 when
-- done; 0 when either address is missing, when old_ip is not recorded, or
-- when new_ip is recorded already (two rows cannot hold one address); -1
-- when the database refuses the new address (such as one too long). Nothing
-- is changed unless 1 is returned.
CREATE FUNCTION vexa_configuration_dev.updateIPaddress(old_ip text, new_ip text, login text)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  replaced integer;
BEGIN
  IF old_ip IS NULL OR new_ip IS NULL THEN
    RETURN 0;
  END IF;
  IF new_ip <> old_ip AND EXISTS (SELECT 1 FROM vexa_ipinfo WHERE ipaddress = new_ip) THEN
    RETURN 0;
  END IF;
  UPDATE vexa_ipinfo
  SET ipaddress = new_ip, author = login, last_update = vexa_sysdate()
  WHERE ipaddress = old_ip;
  GET DIAGNOSTICS replaced = ROW_COUNT;
  RETURN replaced;
EXCEPTION
  -- An address recorded by another session in the meantime.
  WHEN unique_violation THEN
    RETURN 0;
  WHEN OTHERS THEN
    RETURN -1;
END
$$;

-- Swaps the hardware of the functional devices devname1 and devname2.
-- Afterwards each device holds the hardware item (serialnb) that the other
-- held, with login as the last updater, and has a new history row of the
-- change: 'IN_USE' with its new hardware, or 'NONE' when the other device
-- held none, carrying usercomments, its location and subsystem set, the
-- time of the change and login as author. Returns 'SUCCESSFUL_SWAPPING'
-- when done. Otherwise nothing is changed and the text (at most 200
-- characters) says why: 'UNKNOWN_DEVICE: <name>' for a name that no
-- device has (the reserved device 'none' included), 'SAME_DEVICE_TWICE',
-- 'NO_HARDWARE_TO_SWAP' when neither device holds hardware, or 'ERROR: '
-- followed by the database's message.
CREATE FUNCTION vexa_configuration_dev.SwapTwoDevices(
  devname1 text, devname2 text, login text, usercomments text)
RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
  dev1 vexa_lg_devices%ROWTYPE;
  dev2 vexa_lg_devices%ROWTYPE;
BEGIN
  SELECT * INTO dev1 FROM vexa_lg_devices WHERE devicename = devname1 AND deviceid <> -1;
  IF NOT FOUND THEN
    RETURN left(concat('UNKNOWN_DEVICE: ', devname1), 200);
  END IF;
  SELECT * INTO dev2 FROM vexa_lg_devices WHERE devicename = devname2 AND deviceid <> -1;
  IF NOT FOUND THEN
    RETURN left(concat('UNKNOWN_DEVICE: ', devname2), 200);
  END IF;
  IF dev1.deviceid = dev2.deviceid THEN
    RETURN 'SAME_DEVICE_TWICE';
  END IF;
  IF dev1.serialnb IS NULL AND dev2.serialnb IS NULL THEN
    RETURN 'NO_HARDWARE_TO_SWAP';
  END IF;

  UPDATE vexa_lg_devices
  SET serialnb = CASE deviceid WHEN dev1.deviceid THEN dev2.serialnb ELSE dev1.serialnb END,
      last_update = vexa_sysdate(), user_update = login
  WHERE deviceid IN (dev1.deviceid, dev2.deviceid);

  INSERT INTO vexa_device_history
    (historydeviceid, serialnb, deviceid, device_status, user_comment, location,
     status_change, system_name, created, author)
  SELECT nextval('vexa_history_deviceseq'), d.serialnb, d.deviceid,
         CASE WHEN d.serialnb IS NULL THEN 'NONE' ELSE 'IN_USE' END,
         usercomments, d.location, vexa_sysdate(), d.system_name, vexa_sysdate(), login
  FROM vexa_lg_devices d
  WHERE d.deviceid IN (dev1.deviceid, dev2.deviceid)
  ORDER BY d.deviceid;

  RETURN 'SUCCESSFUL_SWAPPING';
EXCEPTION WHEN OTHERS THEN
  RETURN left('ERROR: ' || SQLERRM, 200);
END
$$;
