-- The refresh of the stored routing and destination tables after links
-- changed (database/README.md, "Refreshes").
--
-- Every function runs in the caller's transaction, never commits, and
-- reports a failure through its result instead of raising.

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
-- allowed but those probes. No sequential scans either (see build_table):
-- with statistics that make the routes look small, a probe or the deletion
-- of bundles by ctid would otherwise scan all the routes; the steps, read
-- whole for the hash joins, are then read through an index.
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
SET enable_seqscan = off
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
-- the turn of the writers of the routes only when a change is noted. No
-- sequential scans, as in a build (see build_table).
CREATE FUNCTION routingtable_pck.refresh_routes() RETURNS integer
LANGUAGE plpgsql
SET jit = off
SET enable_seqscan = off
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
-- is then undone, and last_refusal() tells why).
CREATE FUNCTION routingtable_pck.updatepathused(flag integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM routingtable_pck.note_refusal(NULL);
  PERFORM routingtable_pck.refresh_routes();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  PERFORM routingtable_pck.note_refusal(SQLERRM);
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
  PERFORM routingtable_pck.note_refusal(NULL);
  IF pfrom IS NULL OR pto IS NULL THEN
    RETURN -1;
  END IF;
  PERFORM routingtable_pck.refresh_routes();
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  PERFORM routingtable_pck.note_refusal(SQLERRM);
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
