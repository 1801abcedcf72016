-- The routing part of the server package, first of four files (loaded in
-- name order): the package's own tables, the dynamic tables of the schema
-- and the procedures that create and drop them, and the steps that routes
-- take, kept up to date by triggers on the links and ports.
-- database/README.md tells the design; the files follow it section by section.
--
-- Every function runs in the caller's transaction, never commits, and
-- reports a failure through its result instead of raising.

------------------------------------------------------------------------------
-- The package's own tables.
------------------------------------------------------------------------------

-- The steps a route can take: one row per used link in its stored
-- direction (step = linkid), and one more for a used bidirectional link
-- walked backwards (step = -linkid, ports and devices exchanged). weight is
-- the link_weight seen in the walking direction: backwards 1 and 2 swap and
-- any other weight reads 0, as the library's path search reads it.
-- Kept up to date by the triggers on the links and ports below, so that a
-- route search reads one indexed table instead of joining links and ports
-- at every step.
CREATE TABLE routingtable_pck.steps (
  linkid    integer NOT NULL,
  step      integer NOT NULL UNIQUE,
  from_dev  integer NOT NULL,
  to_dev    integer NOT NULL,
  near_port integer NOT NULL,
  far_port  integer NOT NULL,
  weight    integer
);
-- Without deduplication: every rewrite of the steps (a link's use, weight
-- or ports) leaves its old rows dead. A deduplicated entry holds the rows
-- of one device old and new together, is never marked dead while one of
-- them lives, and every later lookup of that device visits the dead rows
-- again; an entry of its own per row is marked dead at the first visit.
CREATE INDEX routingtable_pck_steps_from_idx ON routingtable_pck.steps (from_dev)
  WITH (deduplicate_items = off);
CREATE INDEX routingtable_pck_steps_to_idx ON routingtable_pck.steps (to_dev)
  WITH (deduplicate_items = off);
CREATE INDEX routingtable_pck_steps_link_idx ON routingtable_pck.steps (linkid)
  WITH (deduplicate_items = off);

-- Links whose use may have changed (inserted, deleted, or a new lkused,
-- direction flag, weight or port) since the stored routes were last
-- refreshed, each with the devices at its ends before and after the change.
-- Filled by the triggers below while some routing or destination table is
-- stored.
CREATE TABLE routingtable_pck.route_changes (linkid integer, device integer);

-- The start devices whose routing (RT) or destination (TD) table is stored,
-- with the round-trip count it was built with.
CREATE TABLE routingtable_pck.built_tables (
  start     integer NOT NULL,
  kind      text NOT NULL CHECK (kind IN ('RT', 'TD')),
  roundtrip integer NOT NULL,
  PRIMARY KEY (start, kind)
);

-- The routes of the stored tables. A route is known by its start, its
-- destination and its first step's two ports (pfromid0, ptoid0); it keeps
-- the port of its last step at the destination (ptoid1), its number of
-- steps (hops), whether a route may pass through its destination
-- (goes_on), whether the table lists it (listed: it is one of the
-- destination's shortest routes) and the device its last step comes from
-- (parent: the route is the parent's route that goes on, with the same
-- first-step ports, plus one step). A route that is not listed goes on: it
-- is kept for the longer routes behind it.
--
-- Routes of one start are kept in bundles, one row per group of 64
-- destination ids (bucket_of(dest)) and number of steps, as parallel arrays
-- sorted by destination, pfromid0 and ptoid0: about 35 rows for a start
-- that reaches 2,000 devices instead of 2,000 rows. The tables of a large
-- network hold millions of routes, and a row with its index entry costs
-- 1.5 to 2 us to write, more than the search itself; a bundle costs a few
-- us. The bucket keeps a destination's routes together, so that a refresh
-- rewrites only the bundles of the destinations it changes.
-- toast_tuple_target: a bundle of a few kB stays in its row, uncompressed.
CREATE TABLE routingtable_pck.routes (
  kind     text NOT NULL,
  start    integer NOT NULL,
  bucket   integer NOT NULL,
  hops     smallint NOT NULL,
  dest     integer[] NOT NULL,
  pfromid0 integer[] NOT NULL,
  ptoid0   integer[] NOT NULL,
  ptoid1   integer[] NOT NULL,
  goes_on  boolean[] NOT NULL,
  listed   boolean[] NOT NULL,
  parent   integer[] NOT NULL
) WITH (toast_tuple_target = 8160);
-- Not unique: a refresh deletes and inserts bundles of the same key in one
-- statement.
CREATE INDEX routingtable_pck_routes_idx ON routingtable_pck.routes (kind, start, bucket, hops);

-- Path ids of vexa_pdetails.
CREATE SEQUENCE routingtable_pck.pathid_seq;

-- The writers of the stored routes (a build, a refresh, dropping the
-- tables) take turns: each takes this lock before it touches the routes
-- and holds it until its transaction ends. A refresh rewrites the bundles
-- and shown rows of many tables in an order that follows the changes, so
-- two at once could each wait for rows that the other rewrote, and
-- deadlock. A writer waits here before it holds any of those rows (only
-- the link rows of its own update, which no writer needs), so concurrent
-- updates wait for each other and never deadlock. Link changes made while
-- no table is stored take the shared form of the same lock
-- (tables_to_refresh() below).
CREATE FUNCTION routingtable_pck.routes_lock_key() RETURNS bigint
LANGUAGE sql IMMUTABLE AS $$ SELECT hashtext('routingtable_pck.routes')::bigint $$;

CREATE FUNCTION routingtable_pck.lock_routes() RETURNS void
LANGUAGE sql
AS $$ SELECT pg_advisory_xact_lock(routingtable_pck.routes_lock_key()) $$;

-- The words of the last error that a function of the package caught and
-- answered with a result code (a deadlock, say), kept until the
-- transaction ends: a caller, which the code alone tells only that the
-- function failed, reads them once with last_refusal(), so that it can
-- tell a deadlock, which may be retried, from a failure that would recur.
-- Each function that catches errors clears them when it begins, so that
-- they are never those of an earlier call.
CREATE FUNCTION routingtable_pck.note_refusal(words text) RETURNS void
LANGUAGE sql
AS $$ SELECT set_config('routingtable_pck.refusal', coalesce(words, ''), true) $$;

CREATE FUNCTION routingtable_pck.last_refusal() RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
  words text := nullif(current_setting('routingtable_pck.refusal', true), '');
BEGIN
  PERFORM routingtable_pck.note_refusal(NULL);
  RETURN words;
END
$$;

------------------------------------------------------------------------------
-- The dynamic tables: the tables the package fills and the library reads.
-- createtableschema() creates whichever is missing (after
-- droptableschema(), say); 02_schema.sql creates all but vexa_routingtable.
------------------------------------------------------------------------------

CREATE FUNCTION routingtable_pck.create_dynamic_tables() RETURNS void
LANGUAGE plpgsql
SET client_min_messages = warning
AS $$
BEGIN
  CREATE TABLE IF NOT EXISTS vexa_pdetails (
    pathid integer, node1 integer, node2 integer, node3 integer, node4 integer,
    node5 integer, node6 integer, node7 integer, node8 integer, node9 integer,
    node10 integer, node11 integer);
  CREATE INDEX IF NOT EXISTS vexa_pdetails_ends_idx ON vexa_pdetails (node1, node11);

  CREATE TABLE IF NOT EXISTS vexa_destinationtable (
    nodeid_start0 integer, nodeid_end1 integer, pfromid0 integer);
  CREATE INDEX IF NOT EXISTS vexa_destinationtable_ends_idx
    ON vexa_destinationtable (nodeid_start0, nodeid_end1);

  -- The routing tables, one row per listed route. routingpathused is 1 for
  -- the route in use of a destination, its first route in bundle order: the
  -- lowest output port, then the lowest port across the first step (all
  -- listed routes of a destination are equally short, so in one bundle,
  -- and a bundle holds either listed routes of a destination or none).
  IF to_regclass('vexa_routingtable') IS NULL THEN
    CREATE VIEW vexa_routingtable AS
    SELECT r.start AS nodeid_start0, e.dest AS nodeid_end1, e.pfromid0, e.ptoid0, e.ptoid1,
           CASE WHEN e.i = 1 OR r.dest[e.i::integer - 1] <> e.dest THEN 1 ELSE 0 END
             AS routingpathused
    FROM routingtable_pck.routes r
    CROSS JOIN LATERAL unnest(r.dest, r.pfromid0, r.ptoid0, r.ptoid1, r.listed) WITH ORDINALITY
      AS e(dest, pfromid0, ptoid0, ptoid1, listed, i)
    WHERE r.kind = 'RT' AND e.listed;
  END IF;

  CREATE TABLE IF NOT EXISTS vexa_path_temp (
    pathid integer, link_pos integer, linkid integer, node_from integer,
    node_to integer);

  CREATE TABLE IF NOT EXISTS vexa_micropath_temp (
    pathid integer, link_pos integer, nfrom varchar(100), nto varchar(100));
END
$$;

SELECT routingtable_pck.create_dynamic_tables();

------------------------------------------------------------------------------
-- Following the links: statement triggers keep the steps up to date and,
-- while tables are stored, note the links a refresh must look at.
------------------------------------------------------------------------------

-- Whether a link change must be noted for a refresh: whether some routing
-- or destination table is stored. A table stored by a build whose
-- transaction is still open is not seen, and the build does not see a
-- change not yet committed: noted nowhere, the change would be missing from
-- that table for good. So when no table is seen, this waits for an open
-- build (the shared form of lock_routes()) and looks again, in a statement
-- of its own, which sees a build committed meanwhile. When there is still
-- none, the shared lock stays until this transaction ends: a build that
-- begins meanwhile waits for this change to commit and reads the steps with
-- it. Link changes do not wait for each other here. When there is one now,
-- the change is noted and the lock let go again (the block is undone): a
-- refresh that follows in this transaction takes lock_routes(), and two
-- that each kept the shared lock would each wait for the other.
CREATE FUNCTION routingtable_pck.tables_to_refresh() RETURNS boolean
LANGUAGE plpgsql
AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM routingtable_pck.built_tables) THEN
    RETURN true;
  END IF;
  BEGIN
    PERFORM pg_advisory_xact_lock_shared(routingtable_pck.routes_lock_key());
    IF EXISTS (SELECT 1 FROM routingtable_pck.built_tables) THEN
      RAISE EXCEPTION 'a table was stored meanwhile';
    END IF;
    RETURN false;
  EXCEPTION WHEN raise_exception THEN
    RETURN true;
  END;
END
$$;

-- Writes again the steps of the links ids, from the links and ports as
-- they are now (none for a link deleted or unused).
CREATE FUNCTION routingtable_pck.restep(ids integer[]) RETURNS void
LANGUAGE sql
AS $$
  DELETE FROM routingtable_pck.steps WHERE linkid = ANY (ids);
  INSERT INTO routingtable_pck.steps (linkid, step, from_dev, to_dev, near_port, far_port, weight)
  SELECT t.linkid, t.linkid, g.deviceid, f.deviceid, t.portidfrom, t.portidto, t.link_weight
  FROM vexa_macroscopic_connectivity t
  JOIN vexa_port_properties g ON g.portid = t.portidfrom
  JOIN vexa_port_properties f ON f.portid = t.portidto
  WHERE t.linkid = ANY (ids) AND t.lkused = 1
  UNION ALL
  SELECT t.linkid, -t.linkid, f.deviceid, g.deviceid, t.portidto, t.portidfrom,
         CASE t.link_weight WHEN 1 THEN 2 WHEN 2 THEN 1 ELSE 0 END
  FROM vexa_macroscopic_connectivity t
  JOIN vexa_port_properties g ON g.portid = t.portidfrom
  JOIN vexa_port_properties f ON f.portid = t.portidto
  WHERE t.linkid = ANY (ids) AND t.lkused = 1 AND t.bidirectional_link_used = 1;
$$;

-- Follows the links a statement wrote. Statement-level, with the
-- statement's rows as transition tables, so that a batch costs one pass
-- here. Only what a route depends on counts: lkused, the direction flag,
-- the weight and the ports; link_info, link_type and the writer columns
-- change no route. While tables are stored, a refresh needs the devices at
-- the ends of each link before the change (a deleted link, a moved port)
-- as well as after it.
CREATE FUNCTION routingtable_pck.note_link_changes() RETURNS trigger
LANGUAGE plpgsql
AS $$
DECLARE
  -- the links, each with its ports (before and after an update)
  ids integer[];
  froms integer[];
  tos integer[];
BEGIN
  IF TG_OP = 'INSERT' THEN
    SELECT array_agg(n.linkid), array_agg(n.portidfrom), array_agg(n.portidto)
      INTO ids, froms, tos
    FROM new_rows n;
  ELSIF TG_OP = 'DELETE' THEN
    SELECT array_agg(o.linkid), array_agg(o.portidfrom), array_agg(o.portidto)
      INTO ids, froms, tos
    FROM old_rows o;
  ELSE
    SELECT array_agg(e.linkid), array_agg(e.portidfrom), array_agg(e.portidto)
      INTO ids, froms, tos
    FROM new_rows n JOIN old_rows o ON o.linkid = n.linkid
    CROSS JOIN LATERAL (VALUES (n.linkid, n.portidfrom, n.portidto),
                               (o.linkid, o.portidfrom, o.portidto))
      AS e(linkid, portidfrom, portidto)
    WHERE (n.lkused, n.bidirectional_link_used, n.link_weight, n.portidfrom, n.portidto)
          IS DISTINCT FROM
          (o.lkused, o.bidirectional_link_used, o.link_weight, o.portidfrom, o.portidto);
  END IF;
  IF ids IS NULL THEN
    RETURN NULL;
  END IF;
  PERFORM routingtable_pck.restep(ids);
  IF routingtable_pck.tables_to_refresh() THEN
    INSERT INTO routingtable_pck.route_changes (linkid, device)
    SELECT e.linkid, p.deviceid
    FROM unnest(ids, froms, tos) AS e(linkid, portidfrom, portidto)
    JOIN vexa_port_properties p ON p.portid IN (e.portidfrom, e.portidto);
  END IF;
  RETURN NULL;
END
$$;

CREATE TRIGGER routing_links_inserted AFTER INSERT ON vexa_macroscopic_connectivity
  REFERENCING NEW TABLE AS new_rows
  FOR EACH STATEMENT EXECUTE FUNCTION routingtable_pck.note_link_changes();
CREATE TRIGGER routing_links_updated AFTER UPDATE ON vexa_macroscopic_connectivity
  REFERENCING NEW TABLE AS new_rows OLD TABLE AS old_rows
  FOR EACH STATEMENT EXECUTE FUNCTION routingtable_pck.note_link_changes();
CREATE TRIGGER routing_links_deleted AFTER DELETE ON vexa_macroscopic_connectivity
  REFERENCING OLD TABLE AS old_rows
  FOR EACH STATEMENT EXECUTE FUNCTION routingtable_pck.note_link_changes();

-- A port moved to another device moves the links at it: their ends are the
-- port's old and new device and the device at their other end.
CREATE FUNCTION routingtable_pck.note_port_moves() RETURNS trigger
LANGUAGE plpgsql
AS $$
DECLARE
  ids integer[];
BEGIN
  SELECT array_agg(DISTINCT t.linkid) INTO ids
  FROM new_rows n JOIN old_rows o ON o.portid = n.portid
  JOIN vexa_macroscopic_connectivity t ON n.portid IN (t.portidfrom, t.portidto)
  WHERE n.deviceid IS DISTINCT FROM o.deviceid;
  IF ids IS NULL THEN
    RETURN NULL;
  END IF;
  PERFORM routingtable_pck.restep(ids);
  IF routingtable_pck.tables_to_refresh() THEN
    INSERT INTO routingtable_pck.route_changes (linkid, device)
    SELECT t.linkid, e.device
    FROM new_rows n JOIN old_rows o ON o.portid = n.portid
    JOIN vexa_macroscopic_connectivity t ON n.portid IN (t.portidfrom, t.portidto)
    CROSS JOIN LATERAL (
      SELECT o.deviceid UNION ALL SELECT n.deviceid
      UNION ALL
      SELECT p.deviceid FROM vexa_port_properties p
      WHERE p.portid IN (t.portidfrom, t.portidto)) e(device)
    WHERE n.deviceid IS DISTINCT FROM o.deviceid;
  END IF;
  RETURN NULL;
END
$$;

CREATE TRIGGER routing_ports_updated AFTER UPDATE ON vexa_port_properties
  REFERENCING NEW TABLE AS new_rows OLD TABLE AS old_rows
  FOR EACH STATEMENT EXECUTE FUNCTION routingtable_pck.note_port_moves();
------------------------------------------------------------------------------
-- Schema procedures.
------------------------------------------------------------------------------

-- Creates the dynamic tables that are missing. Returns 0, or -1 when the
-- database refused.
CREATE FUNCTION vexa_configuration_dev.createtableschema(flag integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM routingtable_pck.note_refusal(NULL);
  PERFORM routingtable_pck.create_dynamic_tables();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  PERFORM routingtable_pck.note_refusal(SQLERRM);
  RETURN -1;
END
$$;

-- Drops the dynamic tables with what they hold (the stored routes with
-- them). Returns 0, or -1 when the database refused.
CREATE FUNCTION vexa_configuration_dev.droptableschema(flag integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM routingtable_pck.note_refusal(NULL);
  PERFORM routingtable_pck.lock_routes();
  DROP VIEW IF EXISTS vexa_routingtable;
  DROP TABLE IF EXISTS vexa_destinationtable, vexa_pdetails, vexa_path_temp,
                       vexa_micropath_temp;
  DELETE FROM routingtable_pck.built_tables;
  DELETE FROM routingtable_pck.routes;
  DELETE FROM routingtable_pck.route_changes;
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  PERFORM routingtable_pck.note_refusal(SQLERRM);
  RETURN -1;
END
$$;
------------------------------------------------------------------------------
-- ferrule_reset() hook.
------------------------------------------------------------------------------

-- Empties the package's tables, and creates the dynamic tables again if a
-- caller dropped them, so that ferrule_reset() finds them.
CREATE FUNCTION public.ferrule_reset_routing() RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM routingtable_pck.create_dynamic_tables();
  DELETE FROM routingtable_pck.built_tables;
  DELETE FROM routingtable_pck.routes;
  DELETE FROM routingtable_pck.route_changes;
  DELETE FROM routingtable_pck.steps;
  DELETE FROM routingtable_pck.micro_query;
  DELETE FROM routingtable_pck.micro_steps;
  DELETE FROM routingtable_pck.micro_paths;
END
$$;
