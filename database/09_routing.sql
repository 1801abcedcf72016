-- The routing part of the server package: the dynamic tables of the schema,
-- the routing and destination tables of a device, their refresh when links
-- change, and the paths inside a board. database/README.md tells the design;
-- this file follows it section by section.
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
CREATE INDEX routingtable_pck_steps_from_idx ON routingtable_pck.steps (from_dev);
CREATE INDEX routingtable_pck_steps_to_idx ON routingtable_pck.steps (to_dev);
CREATE INDEX routingtable_pck_steps_link_idx ON routingtable_pck.steps (linkid);

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
-- updates wait for each other and never deadlock.
CREATE FUNCTION routingtable_pck.lock_routes() RETURNS void
LANGUAGE sql
AS $$ SELECT pg_advisory_xact_lock(hashtext('routingtable_pck.routes')) $$;

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
  CREATE INDEX IF NOT EXISTS vexa_pdetails_node1_idx ON vexa_pdetails (node1);

  CREATE TABLE IF NOT EXISTS vexa_destinationtable (
    nodeid_start0 integer, nodeid_end1 integer, pfromid0 integer);
  CREATE INDEX IF NOT EXISTS vexa_destinationtable_start_idx
    ON vexa_destinationtable (nodeid_start0);

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
  IF EXISTS (SELECT 1 FROM routingtable_pck.built_tables) THEN
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
  IF EXISTS (SELECT 1 FROM routingtable_pck.built_tables) THEN
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
-- Routes of a start device.
--
-- A route walks steps, never visits a device twice, and passes through a
-- device only when the step into it is the route's first step or does not
-- read weight 2: a device entered over a weight-2 step from the second step
-- on is where a route ends. These are the rules of the library's path
-- search between devices.
--
-- The search is breadth-first over a device together with whether its
-- route may go on, one round per number of steps: round k extends the
-- routes of round k-1 that may go on by one step, into devices that no
-- earlier route that goes on reached, and into devices that no earlier
-- route reached at all. A device first reached by a route that ends must
-- still be passed by a longer route that goes on, or the devices behind it
-- would be missed. So a device has its shortest routes, listed, one per
-- pair of first-step ports that begins one; and when they all end, the
-- shortest routes to it that go on, not listed, kept for the routes behind
-- them. Where several routes of a round share their destination and first
-- step's ports, one that goes on is kept before one that ends, then the one
-- whose last step has the lowest step number (so a route is its parent's
-- route plus one step, and a refresh can rebuild it from the parent).
------------------------------------------------------------------------------

-- The route bundles group destinations by bucket_width() consecutive ids.
CREATE FUNCTION routingtable_pck.bucket_width() RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT 64 $$;

CREATE FUNCTION routingtable_pck.bucket_of(dest integer) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT dest / routingtable_pck.bucket_width() $$;

-- The routes of table rkind ('RT' or 'TD') of start t to device x. Used in
-- joins, one call per pair: OFFSET 0 keeps each call a probe of the
-- bundles of one bucket, where the planner could otherwise join every
-- bundle of every table at once.
CREATE FUNCTION routingtable_pck.states_of(rkind text, t integer, x integer)
RETURNS TABLE (hops smallint, pfromid0 integer, ptoid0 integer, ptoid1 integer,
               goes_on boolean, listed boolean, parent integer)
LANGUAGE sql STABLE
AS $$
  SELECT r.hops, r.pfromid0[i], r.ptoid0[i], r.ptoid1[i], r.goes_on[i], r.listed[i], r.parent[i]
  FROM routingtable_pck.routes r
  CROSS JOIN LATERAL unnest(array_positions(r.dest, x)) AS i
  WHERE r.kind = rkind AND r.start = t AND r.bucket = routingtable_pck.bucket_of(x)
  OFFSET 0
$$;

-- The routes of states_of() that have the number of steps hops: one bundle.
CREATE FUNCTION routingtable_pck.states_at(rkind text, t integer, x integer, hops integer)
RETURNS TABLE (pfromid0 integer, ptoid0 integer, ptoid1 integer, goes_on boolean,
               parent integer)
LANGUAGE sql STABLE
AS $$
  SELECT r.pfromid0[i], r.ptoid0[i], r.ptoid1[i], r.goes_on[i], r.parent[i]
  FROM routingtable_pck.routes r
  CROSS JOIN LATERAL unnest(array_positions(r.dest, x)) AS i
  WHERE r.kind = rkind AND r.start = t AND r.bucket = routingtable_pck.bucket_of(x)
    AND r.hops = states_at.hops
  OFFSET 0
$$;

-- The device id of a device name, or NULL.
CREATE FUNCTION routingtable_pck.device_of(devname text) RETURNS integer
LANGUAGE sql STABLE
AS $$ SELECT d.deviceid FROM vexa_lg_devices d WHERE d.devicename = devname $$;

-- Replaces the routes of table rkind of device start by the routes of at
-- most bound steps to every device it reaches. Returns their number.
--
-- Each round is one statement over arrays; its routes come out sorted by
-- destination and first-step ports (the order of DISTINCT ON) and are cut
-- into bundles by bucket with width_bucket over the sorted destinations.
-- Generic plans: a custom plan would fold the arrays into constants and be
-- planned again in every round. Nested loops: a round probes the steps of
-- the devices it extends, a few out of thousands; a generic plan cannot see
-- the array sizes and may otherwise scan every step in every round.
CREATE FUNCTION routingtable_pck.store_routes(rkind text, start integer, bound integer)
RETURNS integer
LANGUAGE plpgsql
SET plan_cache_mode = force_generic_plan
SET enable_hashjoin = off
SET enable_mergejoin = off
SET jit = off
AS $$
DECLARE
  w constant integer := routingtable_pck.bucket_width();
  top integer;
  seen boolean[];          -- seen[d]: device d reached in an earlier round
  passed boolean[];        -- passed[d]: ... by a route that goes on
  round integer := 1;
  total integer := 0;
  d integer;
  -- the routes that may go on from the previous round (at round 1 the
  -- start, with no first step yet)
  f_node integer[] := ARRAY[start];
  f_pf integer[] := ARRAY[NULL::integer];
  f_pt integer[] := ARRAY[NULL::integer];
  -- the routes of this round
  r_dest integer[]; r_pf integer[]; r_pt integer[]; r_pt1 integer[];
  r_goes_on boolean[]; r_listed boolean[]; r_parent integer[];
BEGIN
  DELETE FROM routingtable_pck.routes r
  WHERE r.kind = store_routes.rkind AND r.start = store_routes.start;
  SELECT greatest(v.deviceid, start, 1) INTO top
  FROM vexa_lg_devices v ORDER BY v.deviceid DESC LIMIT 1;
  top := greatest(top, start, 1);
  seen := array_fill(false, ARRAY[top]);
  IF start >= 1 THEN
    seen[start] := true;
  END IF;
  passed := seen;

  WHILE round <= bound LOOP
    SELECT array_agg(q.to_dev), array_agg(q.pf), array_agg(q.pt), array_agg(q.pt1),
           array_agg(q.goes_on), array_agg(q.listed), array_agg(q.parent),
           array_agg(q.to_dev) FILTER (WHERE q.goes_on),
           array_agg(q.pf) FILTER (WHERE q.goes_on),
           array_agg(q.pt) FILTER (WHERE q.goes_on)
      INTO r_dest, r_pf, r_pt, r_pt1, r_goes_on, r_listed, r_parent, f_node, f_pf, f_pt
    FROM (
      SELECT DISTINCT ON (s.to_dev, coalesce(f.pf, s.near_port), coalesce(f.pt, s.far_port))
             s.to_dev, coalesce(f.pf, s.near_port) AS pf, coalesce(f.pt, s.far_port) AS pt,
             s.far_port AS pt1, g.goes_on, NOT seen[s.to_dev] AS listed, f.node AS parent
      FROM unnest(f_node, f_pf, f_pt) AS f(node, pf, pt)
      JOIN routingtable_pck.steps s ON s.from_dev = f.node
      CROSS JOIN LATERAL (SELECT round = 1 OR s.weight IS DISTINCT FROM 2) AS g(goes_on)
      -- NULL, so left out, for an id outside 1..top
      WHERE NOT passed[s.to_dev] AND (g.goes_on OR NOT seen[s.to_dev])
      ORDER BY 1, 2, 3, g.goes_on DESC, s.step) q;
    EXIT WHEN r_dest IS NULL;
    total := total + cardinality(r_dest);

    INSERT INTO routingtable_pck.routes
      (kind, start, bucket, hops, dest, pfromid0, ptoid0, ptoid1, goes_on, listed, parent)
    SELECT rkind, start, b.bucket, round, r_dest[b.lo:b.hi], r_pf[b.lo:b.hi], r_pt[b.lo:b.hi],
           r_pt1[b.lo:b.hi], r_goes_on[b.lo:b.hi], r_listed[b.lo:b.hi], r_parent[b.lo:b.hi]
    FROM (SELECT g AS bucket,
                 width_bucket(g * w - 1, r_dest) + 1 AS lo,
                 width_bucket(g * w + w - 1, r_dest) AS hi
          FROM generate_series(routingtable_pck.bucket_of(r_dest[1]),
                               routingtable_pck.bucket_of(r_dest[cardinality(r_dest)])) AS g) b
    WHERE b.lo <= b.hi;

    EXIT WHEN f_node IS NULL;
    FOREACH d IN ARRAY r_dest LOOP
      seen[d] := true;
    END LOOP;
    FOREACH d IN ARRAY f_node LOOP
      passed[d] := true;
    END LOOP;
    round := round + 1;
  END LOOP;
  RETURN total;
END
$$;

-- Records that table kind of start was built with roundtrip.
CREATE FUNCTION routingtable_pck.note_built(start integer, kind text, roundtrip integer)
RETURNS void
LANGUAGE sql
AS $$
  INSERT INTO routingtable_pck.built_tables (start, kind, roundtrip)
  VALUES (start, kind, roundtrip)
  ON CONFLICT ON CONSTRAINT built_tables_pkey DO UPDATE SET roundtrip = excluded.roundtrip
$$;

------------------------------------------------------------------------------
-- Routing table of a device.
------------------------------------------------------------------------------

-- Builds table rkind ('RT' or 'TD') of the device devname: its stored
-- routes of at most roundtrip steps (10 at most), shown as a destination
-- table for 'TD', and the round-trip count it was built with.
-- Returns 0 when built; -1 for a device name that names no device; -2 for
-- a round-trip count below 1; -3 when the database refused or the routing
-- table was dropped (the error is undone, the tables as before).
CREATE FUNCTION routingtable_pck.build_table(rkind text, devname text, roundtrip integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  start_dev integer := routingtable_pck.device_of(devname);
BEGIN
  IF start_dev IS NULL THEN
    RETURN -1;
  END IF;
  IF roundtrip IS NULL OR roundtrip < 1 THEN
    RETURN -2;
  END IF;
  BEGIN
    IF rkind = 'RT' AND to_regclass('vexa_routingtable') IS NULL THEN
      RETURN -3;
    END IF;
    PERFORM routingtable_pck.lock_routes();
    PERFORM routingtable_pck.store_routes(rkind, start_dev, least(roundtrip, 10));
    IF rkind = 'TD' THEN
      PERFORM routingtable_pck.show_all_destinations(start_dev);
    END IF;
    PERFORM routingtable_pck.note_built(start_dev, rkind, roundtrip);
    RETURN 0;
  EXCEPTION WHEN OTHERS THEN
    RETURN -3;
  END;
END
$$;

-- Builds the routing table of the device devname: the rows of
-- vexa_routingtable with nodeid_start0 = its deviceid, one per shortest
-- route of at most roundtrip steps (10 at most) to each device it reaches,
-- one route of each destination in use. flag and mode are accepted for the
-- callers' sake and not read. Results as build_table.
CREATE FUNCTION routingtable_pck.createRT_all_devname(
  devname text, flag integer, roundtrip integer, mode integer)
RETURNS integer
LANGUAGE sql
AS $$
  SELECT routingtable_pck.build_table('RT', devname, roundtrip)
$$;

------------------------------------------------------------------------------
-- Destination table of a device: the same routes, shown as
-- vexa_destinationtable (one row per destination and output port) and
-- vexa_pdetails (one row per route: node1 the start, node2 the device
-- across the first step, ..., node11 the destination; a route has at most
-- 10 steps, so 11 devices).
------------------------------------------------------------------------------

-- Shows again the destination routes of the given (start, destination)
-- pairs: removes what was shown for them and shows their listed routes
-- now. A route's devices are found from the destination back, parent by
-- parent: the parent's route that goes on, with the same first-step ports.
CREATE FUNCTION routingtable_pck.show_destinations(starts integer[], dests integer[])
RETURNS void
LANGUAGE sql
AS $$
  DELETE FROM vexa_pdetails p
  USING unnest(starts, dests) AS k(start, dest)
  WHERE p.node1 = k.start AND p.node11 = k.dest;

  DELETE FROM vexa_destinationtable t
  USING unnest(starts, dests) AS k(start, dest)
  WHERE t.nodeid_start0 = k.start AND t.nodeid_end1 = k.dest;

  INSERT INTO vexa_destinationtable (nodeid_start0, nodeid_end1, pfromid0)
  SELECT DISTINCT k.start, k.dest, s.pfromid0
  FROM (SELECT DISTINCT * FROM unnest(starts, dests)) AS k(start, dest)
  CROSS JOIN LATERAL routingtable_pck.states_of('TD', k.start, k.dest) s
  WHERE s.listed
  ORDER BY 1, 2, 3;

  -- nodes: the devices from the one at "at" to the destination.
  WITH RECURSIVE back (start, pf, pt, at, nodes) AS (
    SELECT k.start, s.pfromid0, s.ptoid0, s.parent, ARRAY[k.dest]
    FROM (SELECT DISTINCT * FROM unnest(starts, dests)) AS k(start, dest)
    CROSS JOIN LATERAL routingtable_pck.states_of('TD', k.start, k.dest) s
    WHERE s.listed
    UNION ALL
    SELECT b.start, b.pf, b.pt, s.parent, b.at || b.nodes
    FROM back b
    CROSS JOIN LATERAL routingtable_pck.states_of('TD', b.start, b.at) s
    WHERE b.at <> b.start AND s.pfromid0 = b.pf AND s.ptoid0 = b.pt AND s.goes_on)
  INSERT INTO vexa_pdetails
    (pathid, node1, node2, node3, node4, node5, node6, node7, node8, node9, node10, node11)
  SELECT nextval('routingtable_pck.pathid_seq'), b.start, b.nodes[1], b.nodes[2], b.nodes[3],
         b.nodes[4], b.nodes[5], b.nodes[6], b.nodes[7], b.nodes[8], b.nodes[9],
         b.nodes[cardinality(b.nodes)]
  FROM back b
  WHERE b.at = b.start;
$$;

-- Shows every listed destination route of start (after a build), from the
-- start forward: all its routes are at hand, so one pass per number of
-- steps, each extending the routes that go on.
CREATE FUNCTION routingtable_pck.show_all_destinations(start integer)
RETURNS void
LANGUAGE sql
AS $$
  DELETE FROM vexa_pdetails p WHERE p.node1 = start;
  DELETE FROM vexa_destinationtable t WHERE t.nodeid_start0 = start;

  WITH routes AS MATERIALIZED (
    SELECT r.hops, e.*
    FROM routingtable_pck.routes r
    CROSS JOIN LATERAL unnest(r.dest, r.pfromid0, r.listed) AS e(dest, pf, listed)
    WHERE r.kind = 'TD' AND r.start = show_all_destinations.start)
  -- In order of destination and port, as readers that do not sort see them.
  INSERT INTO vexa_destinationtable (nodeid_start0, nodeid_end1, pfromid0)
  SELECT DISTINCT start, r.dest, r.pf FROM routes r WHERE r.listed ORDER BY 2, 3;

  -- nodes: the devices from the start to dest.
  WITH RECURSIVE routes AS MATERIALIZED (
    SELECT r.hops, e.*
    FROM routingtable_pck.routes r
    CROSS JOIN LATERAL unnest(r.dest, r.pfromid0, r.ptoid0, r.goes_on, r.listed, r.parent)
      AS e(dest, pf, pt, goes_on, listed, parent)
    WHERE r.kind = 'TD' AND r.start = show_all_destinations.start),
  forth (dest, pf, pt, hops, goes_on, listed, nodes) AS (
    SELECT r.dest, r.pf, r.pt, r.hops, r.goes_on, r.listed, ARRAY[start, r.dest]
    FROM routes r WHERE r.hops = 1
    UNION ALL
    SELECT r.dest, r.pf, r.pt, r.hops, r.goes_on, r.listed, f.nodes || r.dest
    FROM forth f
    JOIN routes r ON r.hops = f.hops + 1 AND r.parent = f.dest AND r.pf = f.pf AND r.pt = f.pt
    WHERE f.goes_on)
  INSERT INTO vexa_pdetails
    (pathid, node1, node2, node3, node4, node5, node6, node7, node8, node9, node10, node11)
  SELECT nextval('routingtable_pck.pathid_seq'), f.nodes[1], f.nodes[2], f.nodes[3], f.nodes[4],
         f.nodes[5], f.nodes[6], f.nodes[7], f.nodes[8], f.nodes[9], f.nodes[10], f.dest
  FROM forth f
  WHERE f.listed;
$$;

-- Builds the destination table of the device devname: which devices it
-- reaches in at most roundtrip steps (10 at most) and through which of its
-- ports, with the routes in vexa_pdetails. The same routes as a routing
-- table. Arguments and results as createRT_all_devname.
CREATE FUNCTION routingtable_pck.createTD_all_devname(
  devname text, flag integer, roundtrip integer, mode integer)
RETURNS integer
LANGUAGE sql
AS $$
  SELECT routingtable_pck.build_table('TD', devname, roundtrip)
$$;

------------------------------------------------------------------------------
-- Refresh of the stored routes.
--
-- After links changed, a refresh brings every stored table to what a build
-- would give now, without searching again from every start: it redoes the
-- breadth-first rounds only for the devices whose routes may differ.
--
-- A device's routes of round k follow from the steps into it, the routes
-- of round k-1 that may go on, and whether an earlier route reached it (one
-- that goes on: no routes; only ones that end: only routes that go on, not
-- listed). So they can differ only for a device at an end of a changed link
-- (whose other end the start reaches), and for a device one step beyond a
-- device whose routes that go on changed in an earlier round. Such a device
-- is pending from then on: in each round its routes of k steps are computed
-- from the stored routes of k-1 steps (final by then) and replace its
-- stored routes of k steps where they differ. Once a route that goes on
-- reaches it (or routes that end do, and every step into it reads weight
-- 2, so that no later route can pass it), it is settled, and its stored
-- routes of more steps are removed; until then it stays pending, as a
-- later round may reach it by a route that goes on. Rounds end at the
-- table's round-trip bound; a table with many devices pending is built
-- again instead.
------------------------------------------------------------------------------

-- Concatenates arrays in the aggregate's order: a bundle is spliced from
-- segments.
CREATE AGGREGATE routingtable_pck.concat_arrays(anycompatiblearray) (
  SFUNC = array_cat,
  STYPE = anycompatiblearray,
  INITCOND = '{}'
);

-- Devices to look at in one round of a refresh above which the table is
-- built again instead: looking at one costs about 30 us, a build of 2,000
-- routes about 3 ms.
CREATE FUNCTION routingtable_pck.rebuild_threshold() RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT 100 $$;

-- The listed routes of table rkind of start as one text per destination,
-- for telling which destinations a build changed.
CREATE FUNCTION routingtable_pck.route_texts(rkind text, start integer)
RETURNS TABLE (dest integer, routes text)
LANGUAGE sql STABLE
AS $$
  SELECT e.dest,
         string_agg(concat_ws(',', r.hops, e.pf, e.pt, e.pt1, e.goes_on,
                              CASE WHEN rkind = 'TD' THEN e.parent END), ';'
                    ORDER BY e.pf, e.pt)
  FROM routingtable_pck.routes r
  CROSS JOIN LATERAL unnest(r.dest, r.pfromid0, r.ptoid0, r.ptoid1, r.goes_on, r.listed, r.parent)
    AS e(dest, pf, pt, pt1, goes_on, listed, parent)
  WHERE r.kind = rkind AND r.start = route_texts.start AND e.listed
  GROUP BY e.dest
$$;

-- Builds table rkind of start again, within a refresh. Returns the
-- destinations whose routes differ from those stored before.
CREATE FUNCTION routingtable_pck.rebuild_table(rkind text, start integer)
RETURNS integer[]
LANGUAGE plpgsql
AS $$
DECLARE
  old_dest integer[];
  old_routes text[];
  changed integer[];
BEGIN
  SELECT array_agg(o.dest), array_agg(o.routes) INTO old_dest, old_routes
  FROM routingtable_pck.route_texts(rkind, rebuild_table.start) o;
  PERFORM routingtable_pck.store_routes(rkind, rebuild_table.start, least(b.roundtrip, 10))
  FROM routingtable_pck.built_tables b
  WHERE b.kind = rebuild_table.rkind AND b.start = rebuild_table.start;
  IF rkind = 'TD' THEN
    PERFORM routingtable_pck.show_all_destinations(rebuild_table.start);
  END IF;
  SELECT coalesce(array_agg(coalesce(o.dest, n.dest)), '{}') INTO changed
  FROM unnest(old_dest, old_routes) AS o(dest, routes)
  FULL JOIN routingtable_pck.route_texts(rkind, rebuild_table.start) n ON n.dest = o.dest
  WHERE o.routes IS DISTINCT FROM n.routes;
  RETURN changed;
END
$$;

-- Runs the rounds for the tables of kind rkind, from the (start, device)
-- pairs given. Returns the number of (start, destination) pairs whose
-- listed routes changed, and for destination tables shows them again.
--
-- The pairs of a round, and their routes, are joined by hashing; where
-- stored routes or bundles are wanted, each pair probes them (a lateral
-- call, or OFFSET 0). The planner rarely knows how many pairs a round
-- holds, and a nested loop over two large sets would take hours: none is
-- allowed but those probes.
--
-- The devices one step beyond a device matter in the next round only when
-- the routes of that device that go on changed (their first-step ports or
-- their number of steps): the port a route arrives at, the device it comes
-- from, or a route that ends changes nothing beyond it. In a destination
-- table the devices a route passes are shown, so there the parent of a
-- route that goes on counts too, and so does a change of its parent's
-- route.
CREATE FUNCTION routingtable_pck.refresh_tables(rkind text, seed_t integer[], seed_x integer[])
RETURNS integer
LANGUAGE plpgsql
SET jit = off
SET work_mem = '64MB'
SET enable_nestloop = off
AS $$
DECLARE
  k integer := 1;
  last_round integer;
  -- pending pairs, each with the fewest steps of its stored routes of k
  -- steps or more (NULL when none are stored), and whether routes that end
  -- reached it in an earlier round
  q_t integer[] := '{}';
  q_x integer[] := '{}';
  q_h integer[] := '{}';
  q_ended boolean[] := '{}';
  -- pairs whose routes that go on changed in the previous round, so that
  -- the devices one step beyond are looked at
  ch_t integer[] := '{}';
  ch_x integer[] := '{}';
  -- pairs whose listed routes changed in this round, and in every round
  cg_t integer[];
  cg_x integer[];
  shown_t integer[] := '{}';
  shown_x integer[] := '{}';
  -- tables built again, and those to build again in this round
  rebuilt integer[] := '{}';
  crowded integer[];
  t integer;
BEGIN
  SELECT max(least(b.roundtrip, 10)) INTO last_round
  FROM routingtable_pck.built_tables b WHERE b.kind = rkind;

  WHILE k <= last_round
        AND (k = 1 OR cardinality(q_t) > 0 OR cardinality(ch_t) > 0) LOOP
    -- A table with more devices to look at in a round than
    -- rebuild_threshold() is built again instead.
    SELECT coalesce(array_agg(c.t), '{}') INTO crowded
    FROM (SELECT u.t
          FROM (SELECT q.t FROM unnest(q_t) AS q(t)
                UNION ALL
                SELECT s.t FROM unnest(seed_t) AS s(t) WHERE k = 1
                UNION ALL
                SELECT c.t FROM unnest(ch_t, ch_x) AS c(t, y)
                JOIN routingtable_pck.steps s ON s.from_dev = c.y) u
          GROUP BY u.t HAVING count(*) > routingtable_pck.rebuild_threshold()) c;
    FOREACH t IN ARRAY crowded LOOP
      shown_x := shown_x || routingtable_pck.rebuild_table(rkind, t);
      shown_t := shown_t || array_fill(t, ARRAY[cardinality(shown_x) - cardinality(shown_t)]);
    END LOOP;
    rebuilt := rebuilt || crowded;

    WITH
    tables AS (
      SELECT b.start FROM routingtable_pck.built_tables b
      WHERE b.kind = rkind AND least(b.roundtrip, 10) >= k AND b.start <> ALL (rebuilt)),
    pending AS (
      SELECT q.t, q.x, q.h, q.ended FROM unnest(q_t, q_x, q_h, q_ended) AS q(t, x, h, ended)),
    -- Pairs pending from this round on: the seeds in round 1, then the
    -- devices one step beyond a device whose routes changed (as above).
    -- Their stored routes of fewer than k steps are final: a device that a
    -- route that goes on reached is settled, one that routes that end
    -- reached is pending for routes that go on.
    entering AS (
      SELECT e.t, e.x, o.h, o.ended
      FROM (SELECT s.t, s.x FROM unnest(seed_t, seed_x) AS s(t, x) WHERE k = 1
            UNION
            SELECT c.t, s.to_dev
            FROM unnest(ch_t, ch_x) AS c(t, y)
            JOIN routingtable_pck.steps s ON s.from_dev = c.y) e
      JOIN tables b ON b.start = e.t
      CROSS JOIN LATERAL (
        SELECT min(o.hops) FILTER (WHERE o.hops >= k) AS h,
               coalesce(bool_or(o.hops < k), false) AS ended,
               coalesce(bool_or(o.hops < k AND o.goes_on), false) AS passed
        FROM routingtable_pck.states_of(rkind, e.t, e.x) o) o
      WHERE e.x <> e.t AND e.x >= 1 AND NOT o.passed
        AND NOT EXISTS (SELECT 1 FROM pending p WHERE p.t = e.t AND p.x = e.x)),
    -- passable: a step into the device does not read weight 2, so that a
    -- later route may pass it.
    open AS MATERIALIZED (
      SELECT o.*, EXISTS (SELECT 1 FROM routingtable_pck.steps s
                          WHERE s.to_dev = o.x AND s.weight IS DISTINCT FROM 2) AS passable
      FROM (SELECT p.t, p.x, p.h, p.ended FROM pending p JOIN tables b ON b.start = p.t
            UNION ALL
            SELECT e.t, e.x, e.h, e.ended FROM entering e) o),
    -- A device that routes that end reached takes only routes that go on,
    -- not listed.
    candidate AS (
      SELECT o.t, o.x, s.near_port AS pf, s.far_port AS pt, s.far_port AS pt1,
             true AS goes_on, true AS listed, o.t AS parent, s.step
      FROM open o
      JOIN routingtable_pck.steps s ON s.from_dev = o.t AND s.to_dev = o.x
      WHERE k = 1
      UNION ALL
      SELECT o.t, o.x, y.pfromid0, y.ptoid0, s.far_port, s.weight IS DISTINCT FROM 2,
             NOT o.ended, s.from_dev, s.step
      FROM open o
      JOIN routingtable_pck.steps s ON s.to_dev = o.x
      CROSS JOIN LATERAL routingtable_pck.states_at(rkind, o.t, s.from_dev, k - 1) y
      WHERE k > 1 AND y.goes_on AND (NOT o.ended OR s.weight IS DISTINCT FROM 2)),
    fresh AS MATERIALIZED (
      SELECT DISTINCT ON (c.t, c.x, c.pf, c.pt)
             c.t, c.x, c.pf, c.pt, c.pt1, c.goes_on, c.listed, c.parent
      FROM candidate c
      ORDER BY c.t, c.x, c.pf, c.pt, c.goes_on DESC, c.step),
    -- A pair's routes compared as arrays of (steps, pf, pt, pt1, goes_on,
    -- listed, parent) rows, the parent counting only where devices are
    -- shown: all of them, the listed ones, and those that go on.
    fresh_sig AS (
      SELECT f.t, f.x,
             array_agg(ARRAY[k, f.pf, f.pt, f.pt1, f.goes_on::integer, f.listed::integer,
                             CASE WHEN rkind = 'TD' THEN f.parent ELSE 0 END]
                       ORDER BY f.pf, f.pt) AS sig,
             array_agg(ARRAY[k, f.pf, f.pt, f.pt1, f.goes_on::integer,
                             CASE WHEN rkind = 'TD' THEN f.parent ELSE 0 END]
                       ORDER BY f.pf, f.pt) FILTER (WHERE f.listed) AS listed_sig,
             array_agg(ARRAY[k, f.pf, f.pt, CASE WHEN rkind = 'TD' THEN f.parent ELSE 0 END]
                       ORDER BY f.pf, f.pt) FILTER (WHERE f.goes_on) AS go_sig,
             bool_or(f.goes_on) AS settles,
             bool_or(m.t IS NOT NULL AND f.listed) AS listed_parent_changed,
             bool_or(m.t IS NOT NULL AND f.goes_on) AS go_parent_changed
      FROM fresh f
      LEFT JOIN (SELECT DISTINCT c.t, c.y FROM unnest(ch_t, ch_x) AS c(t, y)) m
        ON rkind = 'TD' AND m.t = f.t AND m.y = f.parent
      GROUP BY f.t, f.x),
    -- A pair is settled by a route that goes on, or once routes that end
    -- reached it when no later route can pass it.
    outcome AS MATERIALIZED (
      SELECT o.t, o.x, o.h, n.sig IS NOT NULL AS reached, o.ended OR n.sig IS NOT NULL AS ended,
             coalesce(n.settles, false) OR (o.ended OR n.sig IS NOT NULL) AND NOT o.passable
               AS settled
      FROM open o
      LEFT JOIN fresh_sig n ON n.t = o.t AND n.x = o.x),
    -- The stored routes that this round decides: those of k steps, and
    -- those of more steps of a pair that it settles. Probed only where
    -- there are such routes.
    stored AS MATERIALIZED (
      SELECT u.t, u.x, s.*, s.hops = k OR s.hops > k AND u.settled AS due
      FROM outcome u
      CROSS JOIN LATERAL routingtable_pck.states_of(rkind, u.t, u.x) s
      WHERE u.h = k OR u.h > k AND u.settled),
    stored_sig AS (
      SELECT s.t, s.x,
             array_agg(ARRAY[s.hops, s.pfromid0, s.ptoid0, s.ptoid1, s.goes_on::integer,
                             s.listed::integer, CASE WHEN rkind = 'TD' THEN s.parent ELSE 0 END]
                       ORDER BY s.hops, s.pfromid0, s.ptoid0) FILTER (WHERE s.due) AS sig,
             array_agg(ARRAY[s.hops, s.pfromid0, s.ptoid0, s.ptoid1, s.goes_on::integer,
                             CASE WHEN rkind = 'TD' THEN s.parent ELSE 0 END]
                       ORDER BY s.hops, s.pfromid0, s.ptoid0)
               FILTER (WHERE s.due AND s.listed) AS listed_sig,
             array_agg(ARRAY[s.hops, s.pfromid0, s.ptoid0,
                             CASE WHEN rkind = 'TD' THEN s.parent ELSE 0 END]
                       ORDER BY s.hops, s.pfromid0, s.ptoid0)
               FILTER (WHERE s.due AND s.goes_on) AS go_sig,
             min(s.hops) FILTER (WHERE s.hops > k) AS later
      FROM stored s
      GROUP BY s.t, s.x),
    verdict AS MATERIALIZED (
      SELECT u.t, u.x, u.reached, u.settled, u.ended,
             CASE WHEN u.h = k THEN s.later ELSE u.h END AS h,
             n.sig IS DISTINCT FROM s.sig AS rewritten,
             n.listed_sig IS DISTINCT FROM s.listed_sig
               OR coalesce(n.listed_parent_changed, false) AS changed,
             n.go_sig IS DISTINCT FROM s.go_sig OR coalesce(n.go_parent_changed, false) AS spreads
      FROM outcome u
      LEFT JOIN fresh_sig n ON n.t = u.t AND n.x = u.x
      LEFT JOIN stored_sig s ON s.t = u.t AND s.x = u.x),
    -- The bundles that held the rewritten pairs' routes and those that
    -- take their new ones are written again, spliced: each such destination
    -- cuts its bundle at the places of its stored routes (lo to hi; an
    -- empty place where it has none), its new routes go there, and the
    -- stored routes between the cuts are kept as they are.
    splice AS (
      SELECT s.t, routingtable_pck.bucket_of(s.x) AS bucket, s.hops, s.x
      FROM stored s JOIN verdict v ON v.t = s.t AND v.x = s.x
      WHERE v.rewritten AND s.due
      UNION
      SELECT v.t, routingtable_pck.bucket_of(v.x), k::smallint, v.x
      FROM verdict v WHERE v.rewritten AND v.reached),
    gone AS (
      DELETE FROM routingtable_pck.routes r
      WHERE r.ctid = ANY (ARRAY(
        SELECT g.ctid
        FROM (SELECT DISTINCT s.t, s.bucket, s.hops FROM splice s) a
        CROSS JOIN LATERAL (SELECT b.ctid FROM routingtable_pck.routes b
                            WHERE b.kind = rkind AND b.start = a.t AND b.bucket = a.bucket
                              AND b.hops = a.hops
                            OFFSET 0) g))
      RETURNING r.start, r.bucket, r.hops, r.dest, r.pfromid0, r.ptoid0, r.ptoid1, r.goes_on,
                r.listed, r.parent),
    cut AS (
      SELECT s.t, s.bucket, s.hops, s.x, g.dest, g.pfromid0, g.ptoid0, g.ptoid1, g.goes_on,
             g.listed, g.parent,
             width_bucket(s.x - 1, g.dest) + 1 AS lo, width_bucket(s.x, g.dest) AS hi
      FROM splice s
      LEFT JOIN gone g ON g.start = s.t AND g.bucket = s.bucket AND g.hops = s.hops),
    segment AS (
      -- the stored routes before each cut
      SELECT c.t, c.bucket, c.hops, c.x AS at, 0 AS part,
             c.dest[c.after:c.lo - 1] AS dest, c.pfromid0[c.after:c.lo - 1] AS pfromid0,
             c.ptoid0[c.after:c.lo - 1] AS ptoid0, c.ptoid1[c.after:c.lo - 1] AS ptoid1,
             c.goes_on[c.after:c.lo - 1] AS goes_on, c.listed[c.after:c.lo - 1] AS listed,
             c.parent[c.after:c.lo - 1] AS parent
      FROM (SELECT c.*, coalesce(lag(c.hi) OVER (PARTITION BY c.t, c.bucket, c.hops
                                                  ORDER BY c.x), 0) + 1 AS after
            FROM cut c) c
      UNION ALL
      -- those after the last cut
      SELECT c.t, c.bucket, c.hops, 2147483647, 0,
             c.dest[c.hi + 1:], c.pfromid0[c.hi + 1:], c.ptoid0[c.hi + 1:], c.ptoid1[c.hi + 1:],
             c.goes_on[c.hi + 1:], c.listed[c.hi + 1:], c.parent[c.hi + 1:]
      FROM (SELECT DISTINCT ON (c.t, c.bucket, c.hops) c.*
            FROM cut c ORDER BY c.t, c.bucket, c.hops, c.x DESC) c
      UNION ALL
      -- the new routes of each destination reached, at its cut
      SELECT f.t, routingtable_pck.bucket_of(f.x), k::smallint, f.x, 1,
             array_agg(f.x ORDER BY f.pf, f.pt), array_agg(f.pf ORDER BY f.pf, f.pt),
             array_agg(f.pt ORDER BY f.pf, f.pt), array_agg(f.pt1 ORDER BY f.pf, f.pt),
             array_agg(f.goes_on ORDER BY f.pf, f.pt), array_agg(f.listed ORDER BY f.pf, f.pt),
             array_agg(f.parent ORDER BY f.pf, f.pt)
      FROM fresh f JOIN verdict v ON v.t = f.t AND v.x = f.x
      WHERE v.rewritten
      GROUP BY f.t, f.x),
    written AS (
      INSERT INTO routingtable_pck.routes
        (kind, start, bucket, hops, dest, pfromid0, ptoid0, ptoid1, goes_on, listed, parent)
      SELECT rkind, p.t, p.bucket, p.hops,
             routingtable_pck.concat_arrays(p.dest ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.pfromid0 ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.ptoid0 ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.ptoid1 ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.goes_on ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.listed ORDER BY p.at, p.part),
             routingtable_pck.concat_arrays(p.parent ORDER BY p.at, p.part)
      FROM segment p
      GROUP BY p.t, p.bucket, p.hops
      HAVING sum(cardinality(p.dest)) > 0)
    SELECT coalesce(array_agg(v.t) FILTER (WHERE NOT v.settled), '{}'),
           coalesce(array_agg(v.x) FILTER (WHERE NOT v.settled), '{}'),
           coalesce(array_agg(v.h) FILTER (WHERE NOT v.settled), '{}'),
           coalesce(array_agg(v.ended) FILTER (WHERE NOT v.settled), '{}'),
           coalesce(array_agg(v.t) FILTER (WHERE v.spreads), '{}'),
           coalesce(array_agg(v.x) FILTER (WHERE v.spreads), '{}'),
           coalesce(array_agg(v.t) FILTER (WHERE v.changed), '{}'),
           coalesce(array_agg(v.x) FILTER (WHERE v.changed), '{}')
      INTO q_t, q_x, q_h, q_ended, ch_t, ch_x, cg_t, cg_x
    FROM verdict v;

    shown_t := shown_t || cg_t;
    shown_x := shown_x || cg_x;
    k := k + 1;
  END LOOP;

  SELECT coalesce(array_agg(p.t), '{}'), coalesce(array_agg(p.x), '{}') INTO shown_t, shown_x
  FROM (SELECT DISTINCT * FROM unnest(shown_t, shown_x)) AS p(t, x);
  IF rkind = 'TD' THEN
    -- a table built again is shown whole by its build
    PERFORM routingtable_pck.show_destinations(array_agg(p.t), array_agg(p.x))
    FROM unnest(shown_t, shown_x) AS p(t, x)
    WHERE p.t <> ALL (rebuilt)
    HAVING count(*) > 0;
  END IF;
  RETURN cardinality(shown_t);
END
$$;

-- Brings every stored table in line with the links noted in route_changes
-- (refresh_tables). The pairs first looked at are the devices at the ends
-- of each changed link, in the tables where a route may go on from another
-- end of it (that end is the start, or has a stored route that goes on).
-- Returns the number of (start, destination) pairs whose listed routes
-- changed. Raises on a database error (its callers catch it). Waits for
-- the turn of the writers of the routes only when a change is noted.
CREATE FUNCTION routingtable_pck.refresh_routes() RETURNS integer
LANGUAGE plpgsql
SET jit = off
AS $$
DECLARE
  link_ids integer[];
  ends_dev integer[];
  seed_t integer[];
  seed_x integer[];
  rkind text;
  n integer := 0;
BEGIN
  IF NOT EXISTS (SELECT 1 FROM routingtable_pck.route_changes) THEN
    RETURN 0;
  END IF;
  PERFORM routingtable_pck.lock_routes();
  WITH noted AS (DELETE FROM routingtable_pck.route_changes RETURNING linkid, device),
  ends AS (SELECT DISTINCT linkid, device FROM noted)
  SELECT array_agg(e.linkid), array_agg(e.device) INTO link_ids, ends_dev FROM ends e;
  IF link_ids IS NULL THEN
    RETURN 0;
  END IF;

  FOREACH rkind IN ARRAY ARRAY['RT', 'TD'] LOOP
    WITH ends AS (SELECT * FROM unnest(link_ids, ends_dev) AS e(linkid, device))
    SELECT coalesce(array_agg(p.t), '{}'), coalesce(array_agg(p.x), '{}') INTO seed_t, seed_x
    FROM (
      SELECT DISTINCT b.start AS t, far.device AS x
      FROM routingtable_pck.built_tables b
      JOIN ends near ON true
      JOIN ends far ON far.linkid = near.linkid AND far.device <> near.device
      WHERE b.kind = rkind AND far.device <> b.start
        AND (near.device = b.start
             OR EXISTS (SELECT 1 FROM routingtable_pck.states_of(rkind, b.start, near.device) o
                        WHERE o.goes_on))
    ) p;
    IF cardinality(seed_t) > 0 THEN
      n := n + routingtable_pck.refresh_tables(rkind, seed_t, seed_x);
    END IF;
  END LOOP;
  RETURN n;
END
$$;

-- Refreshes the stored routes after links or devices changed their use
-- (refresh_routes). The argument (1, or the subsystem set of a device) is
-- accepted for the callers' sake: the links that changed are known from the
-- triggers. Returns 0 when done, -1 when the database refused (the refresh
-- is then undone).
CREATE FUNCTION routingtable_pck.updatepathused(flag integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM routingtable_pck.refresh_routes();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- Called after the link between the ports pfrom and pto was deleted: takes
-- the stored routes off it, with the rest of the refresh. Returns 0 when
-- done, -1 for a missing port id or when the database refused.
CREATE FUNCTION routingtable_pck.deleteLinksInPaths(pfrom integer, pto integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF pfrom IS NULL OR pto IS NULL THEN
    RETURN -1;
  END IF;
  PERFORM routingtable_pck.refresh_routes();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- Refreshes the stored routes and the steps after links were inserted or
-- changed. Never raises: the answer is a text of at most 99 characters,
-- "NOTHING_TO_UPDATE", "ROUTES_REFRESHED: <n>" (n destinations of some
-- stored table got other routes) or "ERROR: <message>".
CREATE FUNCTION pathqueries_pck.CheckAndUpdateDynamicTables(flag integer)
RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
  n integer;
BEGIN
  n := routingtable_pck.refresh_routes();
  IF n = 0 THEN
    RETURN 'NOTHING_TO_UPDATE';
  END IF;
  RETURN 'ROUTES_REFRESHED: ' || n;
EXCEPTION WHEN OTHERS THEN
  RETURN left('ERROR: ' || SQLERRM, 99);
END
$$;

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
  PERFORM routingtable_pck.create_dynamic_tables();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
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
  PERFORM routingtable_pck.lock_routes();
  DROP VIEW IF EXISTS vexa_routingtable;
  DROP TABLE IF EXISTS vexa_destinationtable, vexa_pdetails, vexa_path_temp,
                       vexa_micropath_temp;
  DELETE FROM routingtable_pck.built_tables;
  DELETE FROM routingtable_pck.routes;
  DELETE FROM routingtable_pck.route_changes;
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;


------------------------------------------------------------------------------
-- Paths inside a board.
--
-- A query runs three steps in one block: CreateMicroNodeLink_tab finds the
-- board and takes its used micro links as steps (micro_steps),
-- CreateMicroPathTab or CreateMicroPathTab_Host lists every path from the
-- start (micro_paths), and one of the InsertIntoMicroPath functions copies
-- the paths that end where the caller asked into vexa_micropath_temp.
--
-- A node is a component (its cpntid) or a port of the board (its portid,
-- negated). A path walks used links, a bidirectional one either way, visits
-- no node twice, and ends at a board port: it never leaves the board and
-- comes back in (a step onto the board's port is a link of weight 2).
-- Names: a component's name, and the board's device name for a board port,
-- as the micro-link rows show them.
------------------------------------------------------------------------------

-- The query in progress: its board and the node its paths start from.
CREATE TABLE routingtable_pck.micro_query (
  board      integer NOT NULL,
  start_node integer
);

CREATE TABLE routingtable_pck.micro_steps (
  stepid    integer GENERATED ALWAYS AS IDENTITY,
  node_from integer NOT NULL,
  node_to   integer NOT NULL,
  name_from varchar(100),
  name_to   varchar(100)
);

-- Every path from the start node, one row per link; pathno numbers the
-- paths shortest first.
CREATE TABLE routingtable_pck.micro_paths (
  pathno   integer NOT NULL,
  link_pos integer NOT NULL,
  nfrom    varchar(100),
  nto      varchar(100),
  end_node integer NOT NULL
);

-- Paths longer than this inside one board are not followed, so that a
-- densely linked board cannot make the search run away.
CREATE FUNCTION routingtable_pck.micro_path_limit() RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT 30 $$;

-- Prepares a micro query. With a component name (cpntname), the board is
-- that component's board and cpntid its id; without one, the board is the
-- device that owns the port mboard and cpntid is -1. flag is not read.
-- rescode: 0 when the board was found (its links prepared, perhaps none),
-- -1 otherwise.
-- Micro queries of all sessions take turns (an advisory lock held until
-- the caller's transaction ends): vexa_micropath_temp is one table for all.
CREATE PROCEDURE routingtable_pck.CreateMicroNodeLink_tab(
  mboard integer, flag integer, OUT rescode integer, OUT cpntid integer,
  cpntname text DEFAULT NULL)
LANGUAGE plpgsql
AS $$
DECLARE
  board integer;
  boardname text;
BEGIN
  rescode := -1;
  cpntid := -1;
  BEGIN
    PERFORM pg_advisory_xact_lock(hashtext('routingtable_pck.micro'));
    DELETE FROM routingtable_pck.micro_query;
    DELETE FROM routingtable_pck.micro_steps;
    DELETE FROM routingtable_pck.micro_paths;
    IF CreateMicroNodeLink_tab.cpntname IS NOT NULL THEN
      SELECT c.cpntid, c.motherboardid INTO cpntid, board
      FROM vexa_lg_cpnts c
      WHERE c.cpntname = CreateMicroNodeLink_tab.cpntname AND c.cpntid <> -1;
    ELSE
      SELECT p.deviceid INTO board FROM vexa_port_properties p WHERE p.portid = mboard;
    END IF;
    SELECT d.devicename INTO boardname FROM vexa_lg_devices d WHERE d.deviceid = board;
    IF boardname IS NULL THEN
      cpntid := -1;
      RETURN;
    END IF;
    INSERT INTO routingtable_pck.micro_query (board) VALUES (board);

    WITH board_links AS (
      SELECT CASE WHEN t.cpntidfrom = -1 THEN -t.portidfrom ELSE t.cpntidfrom END AS a,
             CASE WHEN t.cpntidto = -1 THEN -t.portidto ELSE t.cpntidto END AS b,
             CASE WHEN t.cpntidfrom = -1 THEN boardname ELSE e.cpntname END AS name_a,
             CASE WHEN t.cpntidto = -1 THEN boardname ELSE f.cpntname END AS name_b,
             t.bidirectional_link_used AS both_ways, t.linkid
      FROM vexa_microscopic_connectivity t
      JOIN vexa_lg_cpnts e ON e.cpntid = t.cpntidfrom
      JOIN vexa_lg_cpnts f ON f.cpntid = t.cpntidto
      WHERE t.lkused = 1
        AND (t.cpntidfrom = -1 OR e.motherboardid = board)
        AND (t.cpntidto = -1 OR f.motherboardid = board)
        AND (t.cpntidfrom <> -1 OR EXISTS (SELECT 1 FROM vexa_port_properties p
                                          WHERE p.portid = t.portidfrom AND p.deviceid = board))
        AND (t.cpntidto <> -1 OR EXISTS (SELECT 1 FROM vexa_port_properties p
                                        WHERE p.portid = t.portidto AND p.deviceid = board)))
    -- Step ids in link order, each link's stored direction first: paths of
    -- one length are numbered by their step ids, so the same board always
    -- gives the same path ids.
    INSERT INTO routingtable_pck.micro_steps (node_from, node_to, name_from, name_to)
    SELECT s.node_from, s.node_to, s.name_from, s.name_to
    FROM (SELECT l.a AS node_from, l.b AS node_to, l.name_a AS name_from,
                 l.name_b AS name_to, l.linkid, 0 AS backwards
          FROM board_links l
          UNION ALL
          SELECT l.b, l.a, l.name_b, l.name_a, l.linkid, 1
          FROM board_links l WHERE l.both_ways = 1) s
    ORDER BY s.linkid, s.backwards;
    rescode := 0;
  EXCEPTION WHEN OTHERS THEN
    rescode := -1;
    cpntid := -1;
  END;
END
$$;

-- Lists in micro_paths every path of the prepared board from start.
CREATE FUNCTION routingtable_pck.list_micro_paths(start integer) RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  UPDATE routingtable_pck.micro_query SET start_node = start;
  DELETE FROM routingtable_pck.micro_paths;
  WITH RECURSIVE walk (steps, nodes, last, goes_on) AS (
    SELECT ARRAY[s.stepid], ARRAY[start, s.node_to], s.node_to, s.node_to > 0
    FROM routingtable_pck.micro_steps s
    WHERE s.node_from = start AND s.node_to <> start
    UNION ALL
    SELECT w.steps || s.stepid, w.nodes || s.node_to, s.node_to, s.node_to > 0
    FROM walk w JOIN routingtable_pck.micro_steps s ON s.node_from = w.last
    WHERE w.goes_on AND s.node_to <> ALL (w.nodes)
      AND cardinality(w.steps) < routingtable_pck.micro_path_limit()),
  numbered AS (
    SELECT row_number() OVER (ORDER BY cardinality(w.steps), w.steps) AS pathno,
           w.steps, w.last
    FROM walk w)
  INSERT INTO routingtable_pck.micro_paths (pathno, link_pos, nfrom, nto, end_node)
  SELECT n.pathno, u.pos, s.name_from, s.name_to, n.last
  FROM numbered n
  CROSS JOIN LATERAL unnest(n.steps) WITH ORDINALITY AS u(stepid, pos)
  JOIN routingtable_pck.micro_steps s ON s.stepid = u.stepid;
  RETURN 0;
END
$$;

-- The board of the query in progress, or NULL.
CREATE FUNCTION routingtable_pck.micro_board() RETURNS integer
LANGUAGE sql STABLE
AS $$ SELECT q.board FROM routingtable_pck.micro_query q LIMIT 1 $$;

-- True when portid is a port of the board of the query in progress.
CREATE FUNCTION routingtable_pck.is_board_port(portid integer) RETURNS boolean
LANGUAGE sql STABLE
AS $$
  SELECT EXISTS (SELECT 1 FROM vexa_port_properties p
                 WHERE p.portid = is_board_port.portid
                   AND p.deviceid = routingtable_pck.micro_board())
$$;

-- Paths from the component cpntid of the prepared board. 0 when listed,
-- -1 for a component that is not on the board (or no prepared board).
CREATE FUNCTION routingtable_pck.CreateMicroPathTab(cpntid integer) RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM vexa_lg_cpnts c
                 WHERE c.cpntid = CreateMicroPathTab.cpntid AND c.cpntid <> -1
                   AND c.motherboardid = routingtable_pck.micro_board()) THEN
    RETURN -1;
  END IF;
  RETURN routingtable_pck.list_micro_paths(cpntid);
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- Paths from the board port portidfrom. 0 when listed, -1 for a port that
-- is not one of the prepared board's.
CREATE FUNCTION routingtable_pck.CreateMicroPathTab_Host(portidfrom integer) RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF NOT routingtable_pck.is_board_port(portidfrom) THEN
    RETURN -1;
  END IF;
  RETURN routingtable_pck.list_micro_paths(-portidfrom);
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- Puts into vexa_micropath_temp the listed paths that start at start and
-- end at one of the nodes ends, numbered from 0 shortest first, one row
-- per link. 0 when done (perhaps no path), -1 when the paths listed start
-- elsewhere or no end was given.
CREATE FUNCTION routingtable_pck.show_micro_paths(start integer, ends integer[])
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF ends IS NULL OR cardinality(ends) = 0
     OR NOT EXISTS (SELECT 1 FROM routingtable_pck.micro_query q
                    WHERE q.start_node = show_micro_paths.start) THEN
    RETURN -1;
  END IF;
  DELETE FROM vexa_micropath_temp;
  INSERT INTO vexa_micropath_temp (pathid, link_pos, nfrom, nto)
  SELECT dense_rank() OVER (ORDER BY p.pathno) - 1, p.link_pos, p.nfrom, p.nto
  FROM routingtable_pck.micro_paths p
  WHERE p.end_node = ANY (ends);
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- The components of the prepared board named (by_type false) or of the type
-- (by_type true) given.
CREATE FUNCTION routingtable_pck.board_components(name text, by_type boolean)
RETURNS integer[]
LANGUAGE sql STABLE
AS $$
  SELECT array_agg(c.cpntid)
  FROM vexa_lg_cpnts c
  WHERE c.cpntid <> -1 AND c.motherboardid = routingtable_pck.micro_board()
    AND CASE WHEN by_type THEN c.cpnttype = name ELSE c.cpntname = name END
$$;

-- Paths from the component cpntid to the board port portid.
CREATE FUNCTION routingtable_pck.InsertIntoMicroPathUsingID(cpntid integer, portid integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF NOT routingtable_pck.is_board_port(portid) THEN
    RETURN -1;
  END IF;
  RETURN routingtable_pck.show_micro_paths(cpntid, ARRAY[-portid]);
END
$$;

-- Paths from the board port portidfrom to the component named cpntname,
-- or, when no name is given (NULL, '' or 'none'), to the board port
-- portidto. -1 when that end is not on the board.
CREATE FUNCTION routingtable_pck.InsertIntoMicroPathFromPortID(
  portidfrom integer, portidto integer, cpntname text)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  IF coalesce(cpntname, '') NOT IN ('', 'none') THEN
    RETURN routingtable_pck.show_micro_paths(
      -portidfrom, routingtable_pck.board_components(cpntname, false));
  END IF;
  IF NOT routingtable_pck.is_board_port(portidto) THEN
    RETURN -1;
  END IF;
  RETURN routingtable_pck.show_micro_paths(-portidfrom, ARRAY[-portidto]);
END
$$;

-- Paths from the board port portidfrom to the components of the type
-- cpntname (cpnttype_given 1) or to the component named cpntname (any
-- other value). -1 when the board has no such component.
CREATE FUNCTION routingtable_pck.InsertIntoMicroPathCnptType(
  portidfrom integer, cpntname text, cpnttype_given integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  RETURN routingtable_pck.show_micro_paths(
    -portidfrom,
    routingtable_pck.board_components(cpntname, cpnttype_given IS NOT DISTINCT FROM 1));
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
