-- Routes of a start device, and the routing and destination tables built
-- from them (database/README.md, "Routes").
--
-- Every function runs in the caller's transaction, never commits, and
-- reports a failure through its result instead of raising.

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
-- the array sizes and may otherwise scan every step in every round. No
-- sequential scans: a generic plan is made once per connection from the
-- statistics of that moment, and a table emptied and vacuumed then (the
-- routes after droptableschema) looks so small that scanning all of it
-- would be the plan of every later start while the table fills. Through
-- the indexes each statement reads the rows of one start.
CREATE FUNCTION routingtable_pck.store_routes(rkind text, start integer, bound integer)
RETURNS integer
LANGUAGE plpgsql
SET plan_cache_mode = force_generic_plan
SET enable_hashjoin = off
SET enable_mergejoin = off
SET enable_seqscan = off
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
-- a round-trip count below 1; -3 when the database refused (the error is
-- undone, the tables as before, and last_refusal() tells why) or the
-- routing table was dropped.
-- No sequential scans, here and in the functions below that a build or a
-- refresh runs: every statement reads the rows of the starts, destinations
-- or devices it is given through an index, whatever the statistics say
-- (see store_routes). A table's statistics can be far from what it holds:
-- emptied and vacuumed, or analyzed while few tables were stored, it looks
-- so small that scanning all of it seems cheaper, and a plan made then may
-- serve every later call on the connection. A plan that must still scan a
-- table (or join in a way turned off) counts as costly, enough to be
-- compiled (jit) at every call: jit is off wherever these settings are.
CREATE FUNCTION routingtable_pck.build_table(rkind text, devname text, roundtrip integer)
RETURNS integer
LANGUAGE plpgsql
SET enable_seqscan = off
SET jit = off
AS $$
DECLARE
  start_dev integer := routingtable_pck.device_of(devname);
BEGIN
  PERFORM routingtable_pck.note_refusal(NULL);
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
    PERFORM routingtable_pck.note_refusal(SQLERRM);
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
-- Nested loops over the pairs, each probing the rows of its start and
-- destination: a refresh names a few pairs of tables that hold millions.
CREATE FUNCTION routingtable_pck.show_destinations(starts integer[], dests integer[])
RETURNS void
LANGUAGE sql
SET enable_seqscan = off
SET enable_nestloop = on
SET enable_hashjoin = off
SET enable_mergejoin = off
SET jit = off
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
-- steps, each extending the routes that go on. The routes of the start are
-- joined by hashing: a nested loop over two of its sets of routes, which
-- a generic plan cannot count, would grow with the square of the network.
CREATE FUNCTION routingtable_pck.show_all_destinations(start integer)
RETURNS void
LANGUAGE sql
SET enable_seqscan = off
SET enable_nestloop = off
SET jit = off
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
