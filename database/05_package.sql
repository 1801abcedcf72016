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

-- Refreshes the flags of the stored routes after links or devices changed
-- their usage. No routes are stored yet: nothing to refresh. Returns 0.
-- The argument is accepted for the callers' sake and not read.
CREATE FUNCTION routingtable_pck.updatepathused(flag integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  RETURN 0;
END
$$;

-- Removes the stored routes and paths that use the link between the ports
-- pfrom and pto. None are stored yet. Returns 0.
CREATE FUNCTION routingtable_pck.deleteLinksInPaths(pfrom integer, pto integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  RETURN 0;
END
$$;

-- Refreshes the stored routes and paths after links changed. None are
-- stored yet, so there is nothing to refresh. Never raises: any error is
-- returned as text. The result has at most 99 characters.
CREATE FUNCTION pathqueries_pck.CheckAndUpdateDynamicTables(flag integer)
RETURNS text
LANGUAGE plpgsql
AS $$
BEGIN
  RETURN 'NOTHING_TO_UPDATE';
EXCEPTION WHEN OTHERS THEN
  RETURN left('ERROR: ' || SQLERRM, 99);
END
$$;
