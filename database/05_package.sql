-- The server package. Top-level procedures live in the schema
-- vexa_configuration_dev; the sub-packages routingtable_pck and
-- pathqueries_pck are schemas of their own (a name has at most two parts).
-- Every procedure is a function: the library calls them as expressions
-- (":rescode := schema.name(...)") from its blocks. They run in the
-- caller's transaction and never commit.

CREATE SCHEMA vexa_configuration_dev;
CREATE SCHEMA routingtable_pck;
CREATE SCHEMA pathqueries_pck;

-- Records an IP address. Afterwards the vexa_ipinfo row of the address
-- exists. An address that is already recorded is left as it is. Returns 0
-- when the row exists, -1 when no address was given.
CREATE FUNCTION vexa_configuration_dev.insertIPaddress(
  ipadd text, ipname text, subnet text, login text, host text)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF ipadd IS NULL OR ipadd = '' THEN
    RETURN -1;
  END IF;
  -- Positional references: the parameter ipname has a column's name.
  INSERT INTO vexa_ipinfo (ipaddress, subnet_info, ipname, author, terminal_name)
  VALUES ($1, $3, $2, $4, $5)
  ON CONFLICT (ipaddress) DO NOTHING;
  RETURN 0;
END
$$;

-- Records a port of a functional device with an address, the address
-- recorded first (insertIPaddress): the port of the hardware mounted in the
-- device (serialnb NULL when none is), with its burnt-in and MAC address,
-- and the port row with the address. Returns the number of rows inserted:
-- 2, or 0 when no device is named dname, and then nothing is written.
-- Raises what the database refuses (a port recorded already, a value too
-- long), as the library's own inserts do. Runs in the caller's transaction
-- and never commits.
--
-- No sequential scans: the foreign keys of the port row are checked with a
-- plan that the connection makes once and keeps. Made while the addresses
-- are few (a site's first load, after a reset and a vacuum), a scan of the
-- whole table looks cheapest and would be the plan of every later port,
-- each check reading every address written before it: 10,000 ports took
-- 3 s instead of 0.5, growing with the square of their number. Through the
-- indexes each check reads one row. jit is off, as wherever a scan is
-- turned off (10_routing_builds.sql).
CREATE FUNCTION vexa_configuration_dev.insertAddressedPort(
  dname text, port_nbr text, portway integer, portype text, adminstatus integer,
  speed integer, phy text, pxi integer, bia text, mac text, ipadd text, login text, host text)
RETURNS integer
LANGUAGE plpgsql
SET enable_seqscan = off
SET jit = off
AS $$
DECLARE
  device_id integer;
  device_serial text;
BEGIN
  SELECT d.deviceid, d.serialnb INTO device_id, device_serial
  FROM vexa_lg_devices d
  WHERE d.devicename = dname;
  IF NOT FOUND THEN
    RETURN 0;
  END IF;
  INSERT INTO vexa_hwport_properties
    (serialnb, port_nbr, port_type, port_way, bia, macaddress, author, created, terminal_name)
  VALUES (device_serial, port_nbr, portype, portway, bia, mac, login, vexa_sysdate(), host);
  INSERT INTO vexa_port_properties
    (portid, deviceid, port_nbr, port_way, administrative_status, speed, port_type, phy,
     pxi_booting, ipaddress, author, user_update, terminal_name)
  VALUES (nextval('vexa_portseq'), device_id, port_nbr, portway, adminstatus, speed, portype, phy,
          pxi, ipadd, login, login, host);
  RETURN 2;
END
$$;

-- The routing functions (routingtable_pck, pathqueries_pck) are in
-- 09_routing_steps.sql to 12_micro_paths.sql.
