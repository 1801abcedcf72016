-- Server procedures of the inserts: test boards.
--
-- A test board is a functional device without hardware on which hardware
-- is tried out. InsertTestFunctionalDevice records one with all its ports:
-- the board's device row comes from vexa_configuration_dev.InsertTestBoard,
-- and its ports take their portid from vexa_lg_deviceseq, like devices.
-- That sequence gives odd numbers and vexa_portseq, which every other port
-- draws from, even ones (02_schema.sql), so the two never give the same
-- portid; the primary key of vexa_port_properties guards the rule.
--
-- This file adds no table, so ferrule_reset() needs nothing more from it.

-- Records a test board at a location. Afterwards a vexa_lg_devices row
-- exists for it: deviceid from vexa_lg_deviceseq, named TESTBOARD_<deviceid>,
-- of the device type TESTBOARD (created here when missing), at the given
-- location, without hardware or subsystems, not a node, written by the
-- given login and host. rescode is 0 and devid the new deviceid; on an
-- error nothing is written, rescode is the error's classic number (1 for a
-- duplicate, 1400 for a missing value, 12899 for a value too long, 20000
-- for the rest) and devid is left as it came. Runs in the caller's
-- transaction and never commits.
CREATE PROCEDURE vexa_configuration_dev.InsertTestBoard(
  board_location text, login text, host text, INOUT rescode integer, INOUT devid integer)
LANGUAGE plpgsql
AS $$
DECLARE
  board_type integer;
  board_id integer;
BEGIN
  SELECT t.devicetypeID INTO board_type
  FROM vexa_lg_device_types t WHERE t.devicetype = 'TESTBOARD';
  IF board_type IS NULL THEN
    INSERT INTO vexa_lg_device_types
      (devicetypeID, devicetype, description, author, user_update, terminal_name)
    VALUES (nextval('vexa_devtype_seq'), 'TESTBOARD', 'test boards', login, login, host)
    RETURNING devicetypeID INTO board_type;
  END IF;

  board_id := nextval('vexa_lg_deviceseq');
  INSERT INTO vexa_lg_devices
    (devicename, devicetypeID, deviceid, node, promiscuous_mode, location,
     author, user_update, terminal_name)
  VALUES ('TESTBOARD_' || board_id, board_type, board_id, 0, 0, board_location,
          login, login, host);
  devid := board_id;
  rescode := 0;
EXCEPTION WHEN OTHERS THEN
  rescode := CASE SQLSTATE
               WHEN '23505' THEN 1
               WHEN '23502' THEN 1400
               WHEN '22001' THEN 12899
               ELSE 20000
             END;
END
$$;
