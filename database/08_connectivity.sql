-- The connectivity version: one row whose version moves on with every
-- committed change of what the path searches load (links, ports, devices,
-- subsystems). A client that keeps a loaded copy of the connectivity reads
-- the version in the same statement as the rows it loads, and later reuses
-- the copy only while a new read gives the same version: a change
-- committed in between always shows as a new version.
--
-- database_id tells one database from another, so that a copy kept from
-- one database is never taken for the network of another one whose version
-- happens to be the same number.
CREATE TABLE vexa_connectivity_version (
  only_row    boolean PRIMARY KEY DEFAULT true CHECK (only_row),
  database_id uuid    NOT NULL DEFAULT gen_random_uuid(),
  version     bigint  NOT NULL DEFAULT 1
);

INSERT INTO vexa_connectivity_version DEFAULT VALUES;

-- Moves the version on once per transaction that changes the connectivity.
-- It runs as a deferred trigger, at commit: the row of the version is then
-- locked only from the commit of one writer to the end of that commit, so
-- concurrent writers do not wait on each other for their whole transaction.
-- A transaction-local setting remembers that this transaction has moved
-- the version already: a batch of 10000 rows costs one update, not 10000
-- (a savepoint rolled back undoes the setting with the update).
CREATE FUNCTION vexa_connectivity_changed() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
  IF current_setting('ferrule.connectivity_changed', true) IS DISTINCT FROM 'yes' THEN
    UPDATE vexa_connectivity_version SET version = version + 1;
    PERFORM set_config('ferrule.connectivity_changed', 'yes', true);
  END IF;
  RETURN NULL;
END
$$;

-- TRUNCATE fires no row trigger; it locks the whole table anyway, so the
-- version moves at once.
CREATE FUNCTION vexa_connectivity_truncated() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
  UPDATE vexa_connectivity_version SET version = version + 1;
  RETURN NULL;
END
$$;

-- Each table that the searches load gets both triggers,
-- vexa_connectivity_<topic>_changed and vexa_connectivity_<topic>_truncated.
-- Updates count only when they name a column that a search loads (columns
-- NULL: every update): a status change of a device (active, nodeused)
-- leaves kept copies valid.
DO $$
DECLARE
  t record;
BEGIN
  FOR t IN
    SELECT * FROM (VALUES
      ('links', 'vexa_macroscopic_connectivity',
       'linkid, portidfrom, portidto, link_type, bidirectional_link_used, link_weight, lkused, '
       'link_info, system_name'),
      ('ports', 'vexa_port_properties', 'portid, deviceid, port_nbr, port_type'),
      ('devices', 'vexa_lg_devices', 'deviceid, devicename, system_name'),
      ('subsystems', 'vexa_subsystemList', NULL)
    ) AS v(topic, table_name, columns)
  LOOP
    EXECUTE format(
      'CREATE CONSTRAINT TRIGGER %I AFTER INSERT OR DELETE OR UPDATE%s ON %s '
      'DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION vexa_connectivity_changed()',
      'vexa_connectivity_' || t.topic || '_changed',
      coalesce(' OF ' || t.columns, ''), t.table_name);
    EXECUTE format(
      'CREATE TRIGGER %I AFTER TRUNCATE ON %s '
      'FOR EACH STATEMENT EXECUTE FUNCTION vexa_connectivity_truncated()',
      'vexa_connectivity_' || t.topic || '_truncated', t.table_name);
  END LOOP;
END
$$;

-- Part of ferrule_reset(). The version never goes back: a copy kept before
-- the reset must not match a version reached again afterwards. So the
-- reset moves it on, and puts the one row back if it was deleted.
CREATE FUNCTION ferrule_reset_connectivity() RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
  UPDATE vexa_connectivity_version SET version = version + 1;
  IF NOT FOUND THEN
    INSERT INTO vexa_connectivity_version DEFAULT VALUES;
  END IF;
END
$$;
