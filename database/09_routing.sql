-- The routing part of the server package: the dynamic tables of the schema,
-- the routing and destination tables of a device, their refresh when links
-- change, and the paths inside a board. database/README.md tells the design;
-- this file follows it section by section.
--
-- Every function runs in the caller's transaction, never commits, and
-- reports a failure through its result instead of raising.

------------------------------------------------------------------------------
-- The dynamic tables: the tables the package fills and the library reads.
-- 02_schema.sql creates them with the installation; createtableschema()
-- creates whichever is missing (after droptableschema(), say) with the same
-- columns, and adds the package's own columns of vexa_routingtable.
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

  CREATE TABLE IF NOT EXISTS vexa_routingtable (
    nodeid_start0 integer, nodeid_end1 integer, pfromid0 integer,
    ptoid0 integer, ptoid1 integer, routingpathused integer);
  CREATE INDEX IF NOT EXISTS vexa_routingtable_start_idx
    ON vexa_routingtable (nodeid_start0);
  -- The package's own columns: the route behind each row, so that a
  -- refresh can tell which rows a changed link concerns.
  --   links   the steps of the route in order: +linkid for a link walked
  --           from its from port, -linkid for one walked backwards
  --   usable  every step of the route can still be walked
  ALTER TABLE vexa_routingtable
    ADD COLUMN IF NOT EXISTS links integer[],
    ADD COLUMN IF NOT EXISTS usable boolean;
  CREATE INDEX IF NOT EXISTS vexa_routingtable_links_idx
    ON vexa_routingtable USING gin (links);

  CREATE TABLE IF NOT EXISTS vexa_path_temp (
    pathid integer, link_pos integer, linkid integer, node_from integer,
    node_to integer);

  CREATE TABLE IF NOT EXISTS vexa_micropath_temp (
    pathid integer, link_pos integer, nfrom varchar(100), nto varchar(100));
END
$$;

SELECT routingtable_pck.create_dynamic_tables();

------------------------------------------------------------------------------
-- The package's own tables.
------------------------------------------------------------------------------

-- The steps a route can take: one row per used link in its stored
-- direction (step = linkid), and one more for a used bidirectional link
-- walked backwards (step = -linkid, ports and devices exchanged). weight is
-- the link_weight seen in the walking direction: backwards 1 and 2 swap and
-- any other weight reads 0, as the library's path search reads it.
-- Kept up to date from steps_stale before every use, so that a route search
-- reads one indexed table instead of joining links and ports at every step.
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
CREATE INDEX routingtable_pck_steps_link_idx ON routingtable_pck.steps (linkid);

-- Links written since the steps were last brought up to date (any insert,
-- update or delete). Filled by the triggers below.
CREATE TABLE routingtable_pck.steps_stale (linkid integer);

-- Links whose use changed (deleted, or a new lkused, direction flag, weight
-- or port) since the stored routes were last refreshed. Filled by the
-- triggers below while some routing or destination table is stored.
CREATE TABLE routingtable_pck.route_changes (linkid integer);

-- The start devices whose routing (RT) or destination (TD) table is stored,
-- with the round-trip count it was built with.
CREATE TABLE routingtable_pck.built_tables (
  start     integer NOT NULL,
  kind      text NOT NULL CHECK (kind IN ('RT', 'TD')),
  roundtrip integer NOT NULL,
  PRIMARY KEY (start, kind)
);

-- The routes behind the destination tables. vexa_destinationtable and
-- vexa_pdetails show the usable ones (pathid = routeid); the unusable ones
-- wait here until their links are used again.
CREATE TABLE routingtable_pck.td_routes (
  routeid  integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  start    integer NOT NULL,
  dest     integer NOT NULL,
  pfromid0 integer NOT NULL,
  ptoid0   integer NOT NULL,
  ptoid1   integer NOT NULL,
  links    integer[] NOT NULL,
  nodes    integer[] NOT NULL,
  usable   boolean NOT NULL
);
CREATE INDEX routingtable_pck_td_routes_start_idx ON routingtable_pck.td_routes (start, dest);
CREATE INDEX routingtable_pck_td_routes_links_idx ON routingtable_pck.td_routes USING gin (links);

------------------------------------------------------------------------------
-- Following the links: triggers note what changed, sync_steps() applies it.
------------------------------------------------------------------------------

-- Notes the links a statement wrote. Statement-level, with the statement's
-- rows as transition tables, so that a batch costs one insert here.
CREATE FUNCTION routingtable_pck.note_link_changes() RETURNS trigger
LANGUAGE plpgsql
AS $$
DECLARE
  routes_stored boolean := EXISTS (SELECT 1 FROM routingtable_pck.built_tables);
BEGIN
  IF TG_OP = 'INSERT' THEN
    INSERT INTO routingtable_pck.steps_stale SELECT n.linkid FROM new_rows n;
  ELSIF TG_OP = 'DELETE' THEN
    INSERT INTO routingtable_pck.steps_stale SELECT o.linkid FROM old_rows o;
    IF routes_stored THEN
      INSERT INTO routingtable_pck.route_changes SELECT o.linkid FROM old_rows o;
    END IF;
  ELSE
    -- Only what a route depends on; link_info, link_type and the writer
    -- columns change no route.
    INSERT INTO routingtable_pck.steps_stale
    SELECT n.linkid FROM new_rows n JOIN old_rows o ON o.linkid = n.linkid
    WHERE (n.lkused, n.bidirectional_link_used, n.link_weight, n.portidfrom, n.portidto)
          IS DISTINCT FROM
          (o.lkused, o.bidirectional_link_used, o.link_weight, o.portidfrom, o.portidto);
    IF routes_stored THEN
      INSERT INTO routingtable_pck.route_changes
      SELECT n.linkid FROM new_rows n JOIN old_rows o ON o.linkid = n.linkid
      WHERE (n.lkused, n.bidirectional_link_used, n.link_weight, n.portidfrom, n.portidto)
            IS DISTINCT FROM
            (o.lkused, o.bidirectional_link_used, o.link_weight, o.portidfrom, o.portidto);
    END IF;
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

-- A port moved to another device moves the links at it.
CREATE FUNCTION routingtable_pck.note_port_moves() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
  INSERT INTO routingtable_pck.steps_stale
  SELECT t.linkid
  FROM new_rows n JOIN old_rows o ON o.portid = n.portid
  JOIN vexa_macroscopic_connectivity t ON n.portid IN (t.portidfrom, t.portidto)
  WHERE n.deviceid IS DISTINCT FROM o.deviceid;
  IF EXISTS (SELECT 1 FROM routingtable_pck.built_tables) THEN
    INSERT INTO routingtable_pck.route_changes
    SELECT t.linkid
    FROM new_rows n JOIN old_rows o ON o.portid = n.portid
    JOIN vexa_macroscopic_connectivity t ON n.portid IN (t.portidfrom, t.portidto)
    WHERE n.deviceid IS DISTINCT FROM o.deviceid;
  END IF;
  RETURN NULL;
END
$$;

CREATE TRIGGER routing_ports_updated AFTER UPDATE ON vexa_port_properties
  REFERENCING NEW TABLE AS new_rows OLD TABLE AS old_rows
  FOR EACH STATEMENT EXECUTE FUNCTION routingtable_pck.note_port_moves();

-- Brings routingtable_pck.steps up to date with the links noted in
-- steps_stale. Returns the number of links looked at again.
CREATE FUNCTION routingtable_pck.sync_steps() RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  ids integer[];
BEGIN
  WITH noted AS (DELETE FROM routingtable_pck.steps_stale RETURNING linkid)
  SELECT array_agg(DISTINCT linkid) INTO ids FROM noted;
  IF ids IS NULL THEN
    RETURN 0;
  END IF;
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
  RETURN cardinality(ids);
END
$$;

------------------------------------------------------------------------------
-- Routes of a start device.
------------------------------------------------------------------------------

-- The shortest routes from device start to every device it reaches in at
-- most bound steps, one per first step that begins a shortest route.
--
-- A route walks used links (a bidirectional one either way), never visits a
-- device twice, and passes through a device only when the step into it is
-- the route's first step or does not read weight 2: a device entered over a
-- weight-2 step from the second step on is where a route ends. These are
-- the rules of the library's path search between devices.
--
-- Breadth-first, one statement per round: a round extends the routes of
-- the previous round that may go on by one step into devices no earlier
-- round reached. The rounds keep their rows in arrays, not tables.
--
-- Rows: dest, the route's steps (links) and devices (nodes, start first),
-- the start's port of the first step (pfromid0), the port across it
-- (ptoid0) and the destination's port of the last step (ptoid1).
CREATE FUNCTION routingtable_pck.compute_routes(start integer, bound integer)
RETURNS TABLE (dest integer, links integer[], nodes integer[],
               pfromid0 integer, ptoid0 integer, ptoid1 integer)
LANGUAGE plpgsql
AS $$
DECLARE
  seen boolean[];
  top integer;
  x integer;
  round integer := 1;
  -- the routes of the current round
  c_dest integer[]; c_first integer[]; c_links text[]; c_nodes text[];
  c_pf integer[]; c_pt integer[]; c_pt1 integer[]; c_goes_on boolean[];
  -- every route found
  a_dest integer[] := '{}'; a_links text[] := '{}'; a_nodes text[] := '{}';
  a_pf integer[] := '{}'; a_pt integer[] := '{}'; a_pt1 integer[] := '{}';
BEGIN
  SELECT greatest(max(d.deviceid), start, 1) INTO top FROM vexa_lg_devices d;
  seen := array_fill(false, ARRAY[top]);
  IF start >= 1 THEN
    seen[start] := true;
  END IF;

  SELECT array_agg(s.to_dev ORDER BY s.step), array_agg(s.step ORDER BY s.step),
         array_agg(s.step::text ORDER BY s.step),
         array_agg(start::text || ',' || s.to_dev ORDER BY s.step),
         array_agg(s.near_port ORDER BY s.step), array_agg(s.far_port ORDER BY s.step),
         array_agg(s.far_port ORDER BY s.step), array_agg(true)
  INTO c_dest, c_first, c_links, c_nodes, c_pf, c_pt, c_pt1, c_goes_on
  FROM routingtable_pck.steps s
  WHERE s.from_dev = compute_routes.start AND s.to_dev <> compute_routes.start
    AND s.to_dev >= 1;

  WHILE c_dest IS NOT NULL LOOP
    a_dest := a_dest || c_dest;
    a_links := a_links || c_links;
    a_nodes := a_nodes || c_nodes;
    a_pf := a_pf || c_pf;
    a_pt := a_pt || c_pt;
    a_pt1 := a_pt1 || c_pt1;
    FOREACH x IN ARRAY c_dest LOOP
      seen[x] := true;
    END LOOP;
    EXIT WHEN round >= bound;

    SELECT array_agg(q.to_dev), array_agg(q.first), array_agg(q.path),
           array_agg(q.devs), array_agg(q.pf), array_agg(q.pt), array_agg(q.pt1),
           array_agg(q.goes_on)
    INTO c_dest, c_first, c_links, c_nodes, c_pf, c_pt, c_pt1, c_goes_on
    FROM (
      SELECT DISTINCT ON (s.to_dev, r.first)
             s.to_dev, r.first, r.path || ',' || s.step AS path,
             r.devs || ',' || s.to_dev AS devs, r.pf, r.pt, s.far_port AS pt1,
             s.weight IS DISTINCT FROM 2 AS goes_on
      FROM unnest(c_dest, c_first, c_links, c_nodes, c_pf, c_pt, c_goes_on)
             AS r(node, first, path, devs, pf, pt, goes_on)
      JOIN routingtable_pck.steps s ON s.from_dev = r.node
      WHERE r.goes_on AND s.to_dev BETWEEN 1 AND top AND NOT seen[s.to_dev]
      ORDER BY s.to_dev, r.first, r.path, s.step
    ) q;
    round := round + 1;
  END LOOP;

  RETURN QUERY
  SELECT u.dest, string_to_array(u.links, ',')::integer[],
         string_to_array(u.nodes, ',')::integer[], u.pf, u.pt, u.pt1
  FROM unnest(a_dest, a_links, a_nodes, a_pf, a_pt, a_pt1) AS u(dest, links, nodes, pf, pt, pt1);
END
$$;

-- True when every step of a stored route can still be walked as it was:
-- each step is a step of routingtable_pck.steps (its link exists, is used,
-- and may be walked in that direction), the steps join up from the start
-- through the same ports, and no device passed through was entered over a
-- weight-2 step after the first step.
CREATE FUNCTION routingtable_pck.route_usable(
  start integer, links integer[], pfromid0 integer, ptoid0 integer, ptoid1 integer)
RETURNS boolean
LANGUAGE sql STABLE
AS $$
  SELECT count(*) = cardinality(links) AND coalesce(bool_and(q.ok), false)
  FROM (
    SELECT (CASE WHEN u.pos = 1
                 THEN s.from_dev = start AND s.near_port = pfromid0 AND s.far_port = ptoid0
                 ELSE s.from_dev = lag(s.to_dev) OVER (ORDER BY u.pos) END)
           AND (u.pos = 1 OR u.pos = cardinality(links) OR s.weight IS DISTINCT FROM 2)
           AND (u.pos < cardinality(links) OR s.far_port = ptoid1) AS ok
    FROM unnest(links) WITH ORDINALITY AS u(step, pos)
    JOIN routingtable_pck.steps s ON s.step = u.step
  ) q
$$;

-- The device id of a device name, or NULL.
CREATE FUNCTION routingtable_pck.device_of(devname text) RETURNS integer
LANGUAGE sql STABLE
AS $$ SELECT d.deviceid FROM vexa_lg_devices d WHERE d.devicename = devname $$;

------------------------------------------------------------------------------
-- Routing table of a device.
------------------------------------------------------------------------------

-- Sets routingpathused of the routes from the given starts to the given
-- destinations: 1 for the route in use (among the usable routes of a
-- destination, the shortest; among equally short ones the lowest output
-- port, port across and first step), 0 for every other.
CREATE FUNCTION routingtable_pck.choose_routes_in_use(starts integer[], dests integer[])
RETURNS void
LANGUAGE sql
AS $$
  UPDATE vexa_routingtable r
  SET routingpathused = CASE WHEN r.usable AND r.ctid = b.best THEN 1 ELSE 0 END
  FROM (
    SELECT DISTINCT ON (v.nodeid_start0, v.nodeid_end1)
           v.nodeid_start0, v.nodeid_end1, v.ctid AS best
    FROM vexa_routingtable v
    JOIN unnest(starts, dests) AS p(start, dest)
      ON v.nodeid_start0 = p.start AND v.nodeid_end1 = p.dest
    ORDER BY v.nodeid_start0, v.nodeid_end1, v.usable DESC,
             cardinality(v.links), v.pfromid0, v.ptoid0, v.links[1]
  ) b
  WHERE r.nodeid_start0 = b.nodeid_start0 AND r.nodeid_end1 = b.nodeid_end1
    AND r.routingpathused IS DISTINCT FROM
        (CASE WHEN r.usable AND r.ctid = b.best THEN 1 ELSE 0 END)
$$;

-- Builds the routing table of the device devname: the rows of
-- vexa_routingtable with nodeid_start0 = its deviceid, one per shortest
-- route of at most roundtrip steps (10 at most) to each device it reaches,
-- one route of each destination in use. flag and mode are accepted for the
-- callers' sake and not read.
-- Returns 0 when built; -1 for a device name that names no device; -2 for
-- a round-trip count below 1; -3 when the database refused (the error is
-- undone, the table as before).
CREATE FUNCTION routingtable_pck.createRT_all_devname(
  devname text, flag integer, roundtrip integer, mode integer)
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
    PERFORM routingtable_pck.sync_steps();
    DELETE FROM vexa_routingtable WHERE nodeid_start0 = start_dev;
    INSERT INTO vexa_routingtable
      (nodeid_start0, nodeid_end1, pfromid0, ptoid0, ptoid1, routingpathused, links, usable)
    SELECT start_dev, r.dest, r.pfromid0, r.ptoid0, r.ptoid1,
           CASE WHEN row_number() OVER (PARTITION BY r.dest
                                        ORDER BY r.pfromid0, r.ptoid0, r.links[1]) = 1
                THEN 1 ELSE 0 END,
           r.links, true
    FROM routingtable_pck.compute_routes(start_dev, least(roundtrip, 10)) r;
    INSERT INTO routingtable_pck.built_tables (start, kind, roundtrip)
    VALUES (start_dev, 'RT', roundtrip)
    ON CONFLICT ON CONSTRAINT built_tables_pkey DO UPDATE SET roundtrip = excluded.roundtrip;
    RETURN 0;
  EXCEPTION WHEN OTHERS THEN
    RETURN -3;
  END;
END
$$;

------------------------------------------------------------------------------
-- Destination table of a device.
------------------------------------------------------------------------------

-- Shows the usable destination routes of the given (start, destination)
-- pairs in vexa_pdetails (one row per route, pathid = routeid) and
-- vexa_destinationtable (one row per destination and output port), after
-- removing what was shown for those pairs.
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

  -- node1 the start, node2 the device across the first step, ..., node11
  -- the destination (a route has at most 10 steps, so 11 devices).
  INSERT INTO vexa_pdetails
    (pathid, node1, node2, node3, node4, node5, node6, node7, node8, node9, node10, node11)
  SELECT r.routeid, r.nodes[1], r.nodes[2], r.nodes[3], r.nodes[4], r.nodes[5],
         r.nodes[6], r.nodes[7], r.nodes[8], r.nodes[9], r.nodes[10], r.dest
  FROM routingtable_pck.td_routes r
  JOIN unnest(starts, dests) AS k(start, dest) ON r.start = k.start AND r.dest = k.dest
  WHERE r.usable;

  INSERT INTO vexa_destinationtable (nodeid_start0, nodeid_end1, pfromid0)
  SELECT DISTINCT r.start, r.dest, r.pfromid0
  FROM routingtable_pck.td_routes r
  JOIN unnest(starts, dests) AS k(start, dest) ON r.start = k.start AND r.dest = k.dest
  WHERE r.usable;
$$;

-- Builds the destination table of the device devname: which devices it
-- reaches in at most roundtrip steps (10 at most) and through which of its
-- ports, with the routes in vexa_pdetails. The same routes as a routing
-- table. Arguments and results as createRT_all_devname.
CREATE FUNCTION routingtable_pck.createTD_all_devname(
  devname text, flag integer, roundtrip integer, mode integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  start_dev integer := routingtable_pck.device_of(devname);
  old_dests integer[];
  new_dests integer[];
BEGIN
  IF start_dev IS NULL THEN
    RETURN -1;
  END IF;
  IF roundtrip IS NULL OR roundtrip < 1 THEN
    RETURN -2;
  END IF;
  BEGIN
    PERFORM routingtable_pck.sync_steps();
    WITH gone AS (DELETE FROM routingtable_pck.td_routes r WHERE r.start = start_dev
                  RETURNING r.dest)
    SELECT array_agg(DISTINCT dest) INTO old_dests FROM gone;
    INSERT INTO routingtable_pck.td_routes
      (start, dest, pfromid0, ptoid0, ptoid1, links, nodes, usable)
    SELECT start_dev, r.dest, r.pfromid0, r.ptoid0, r.ptoid1, r.links, r.nodes, true
    FROM routingtable_pck.compute_routes(start_dev, least(roundtrip, 10)) r;
    SELECT array_agg(DISTINCT d) INTO new_dests
    FROM unnest(coalesce(old_dests, '{}') ||
                ARRAY(SELECT r.dest FROM routingtable_pck.td_routes r
                      WHERE r.start = start_dev)) AS d;
    PERFORM routingtable_pck.show_destinations(
      array_fill(start_dev, ARRAY[coalesce(cardinality(new_dests), 0)]), coalesce(new_dests, '{}'));
    INSERT INTO routingtable_pck.built_tables (start, kind, roundtrip)
    VALUES (start_dev, 'TD', roundtrip)
    ON CONFLICT ON CONSTRAINT built_tables_pkey DO UPDATE SET roundtrip = excluded.roundtrip;
    RETURN 0;
  EXCEPTION WHEN OTHERS THEN
    RETURN -3;
  END;
END
$$;

------------------------------------------------------------------------------
-- Refresh of the stored routes.
------------------------------------------------------------------------------

-- Brings every stored route in line with the links noted in route_changes:
-- routes over a deleted link are removed; every other route over a changed
-- link is usable again or no longer, by route_usable(); the routes in use
-- of the destinations concerned are chosen again, and their destination
-- rows shown again. Routes are never added: a link that starts being used
-- enters a table when the table is built again. Returns the number of
-- routes looked at. Raises on a database error (its callers catch it).
CREATE FUNCTION routingtable_pck.refresh_routes() RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  ids integer[];
  gone integer[];
  steps integer[];
  gone_steps integer[];
  p_start integer[];
  p_dest integer[];
  touched integer := 0;
  n integer;
BEGIN
  WITH noted AS (DELETE FROM routingtable_pck.route_changes RETURNING linkid)
  SELECT array_agg(DISTINCT linkid) INTO ids FROM noted;
  IF ids IS NULL THEN
    RETURN 0;
  END IF;
  PERFORM routingtable_pck.sync_steps();

  SELECT coalesce(array_agg(i), '{}') INTO gone
  FROM unnest(ids) AS i
  WHERE NOT EXISTS (SELECT 1 FROM vexa_macroscopic_connectivity t WHERE t.linkid = i);
  steps := ids || ARRAY(SELECT -i FROM unnest(ids) AS i);
  gone_steps := gone || ARRAY(SELECT -i FROM unnest(gone) AS i);

  -- Routing tables.
  WITH removed AS (
    DELETE FROM vexa_routingtable r WHERE r.links && gone_steps
    RETURNING r.nodeid_start0 AS start, r.nodeid_end1 AS dest),
  checked AS (
    UPDATE vexa_routingtable r
    SET usable = routingtable_pck.route_usable(r.nodeid_start0, r.links, r.pfromid0,
                                               r.ptoid0, r.ptoid1)
    WHERE r.links && steps AND NOT r.links && gone_steps
    RETURNING r.nodeid_start0 AS start, r.nodeid_end1 AS dest),
  pairs AS (SELECT * FROM removed UNION SELECT * FROM checked)
  SELECT array_agg(start), array_agg(dest), count(*) INTO p_start, p_dest, n FROM pairs;
  IF p_start IS NOT NULL THEN
    PERFORM routingtable_pck.choose_routes_in_use(p_start, p_dest);
  END IF;
  touched := touched + n;

  -- Destination tables.
  WITH removed AS (
    DELETE FROM routingtable_pck.td_routes r WHERE r.links && gone_steps
    RETURNING r.start, r.dest),
  checked AS (
    UPDATE routingtable_pck.td_routes r
    SET usable = routingtable_pck.route_usable(r.start, r.links, r.pfromid0, r.ptoid0, r.ptoid1)
    WHERE r.links && steps AND NOT r.links && gone_steps
    RETURNING r.start, r.dest),
  pairs AS (SELECT * FROM removed UNION SELECT * FROM checked)
  SELECT array_agg(start), array_agg(dest), count(*) INTO p_start, p_dest, n FROM pairs;
  IF p_start IS NOT NULL THEN
    PERFORM routingtable_pck.show_destinations(p_start, p_dest);
  END IF;
  RETURN touched + n;
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

-- Called after the link between the ports pfrom and pto was deleted: removes
-- the stored routes over it, with the rest of the refresh. Returns 0 when
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
-- "NOTHING_TO_UPDATE", "ROUTES_REFRESHED: <n>" or "ERROR: <message>".
CREATE FUNCTION pathqueries_pck.CheckAndUpdateDynamicTables(flag integer)
RETURNS text
LANGUAGE plpgsql
AS $$
DECLARE
  n integer;
BEGIN
  PERFORM routingtable_pck.sync_steps();
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
  DROP TABLE IF EXISTS vexa_routingtable, vexa_destinationtable, vexa_pdetails,
                       vexa_path_temp, vexa_micropath_temp;
  DELETE FROM routingtable_pck.built_tables;
  DELETE FROM routingtable_pck.td_routes;
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
  DELETE FROM routingtable_pck.td_routes;
  DELETE FROM routingtable_pck.route_changes;
  DELETE FROM routingtable_pck.steps;
  DELETE FROM routingtable_pck.steps_stale;
  DELETE FROM routingtable_pck.micro_query;
  DELETE FROM routingtable_pck.micro_steps;
  DELETE FROM routingtable_pck.micro_paths;
END
$$;
