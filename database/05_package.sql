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

-- The routing functions (routingtable_pck, pathqueries_pck) are in
-- 09_routing_steps.sql to 12_micro_paths.sql.
