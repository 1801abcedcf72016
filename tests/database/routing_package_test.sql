-- pgTAP tests of the routing part of the server package, inside the
-- database: the call forms the library relies on, plpgsql_check over every
-- PL/pgSQL function of the project, routes of a small network with their
-- refresh, refreshes of a random network against fresh builds, the paths
-- inside a board, and failures answered as results.
-- Everything runs in one transaction that is rolled back.
\set ON_ERROR_STOP 1
SET client_min_messages = warning;
SET search_path = public, tap;
BEGIN;
SELECT plan(31);

-- Call forms.
SELECT has_function('vexa_configuration_dev', 'createtableschema', ARRAY['integer']);
SELECT has_function('vexa_configuration_dev', 'droptableschema', ARRAY['integer']);
SELECT function_returns('routingtable_pck', 'creatert_all_devname',
                        ARRAY['text', 'integer', 'integer', 'integer'], 'integer');
SELECT function_returns('routingtable_pck', 'createtd_all_devname',
                        ARRAY['text', 'integer', 'integer', 'integer'], 'integer');
SELECT function_returns('routingtable_pck', 'updatepathused', ARRAY['integer'], 'integer');
SELECT function_returns('routingtable_pck', 'deletelinksinpaths', ARRAY['integer', 'integer'], 'integer');
SELECT function_returns('pathqueries_pck', 'checkandupdatedynamictables', ARRAY['integer'], 'text');
-- A procedure: its OUT arguments (rescode, cpntid) are not in its identity.
SELECT has_function('routingtable_pck', 'createmicronodelink_tab',
                    ARRAY['integer', 'integer', 'text']);

-- plpgsql_check: no error in any PL/pgSQL function of the project; the
-- trigger functions are checked against their table and transition tables.
SELECT is_empty($$
  SELECT p.oid::regprocedure::text, c.message
  FROM pg_proc p
  JOIN pg_namespace n ON n.oid = p.pronamespace
  JOIN pg_language l ON l.oid = p.prolang
  CROSS JOIN LATERAL tap.plpgsql_check_function_tb(
    p.oid,
    relid => CASE WHEN p.proname = 'note_port_moves' THEN 'vexa_port_properties'::regclass
                  WHEN p.proname = 'link_type_prime_is_free' THEN 'vexa_link_types'::regclass
                  WHEN p.prorettype = 'trigger'::regtype
                    THEN 'vexa_macroscopic_connectivity'::regclass
                  ELSE 0 END,
    -- Only the routing triggers read transition tables.
    newtable => CASE WHEN p.proname IN ('note_link_changes', 'note_port_moves') THEN 'new_rows' END,
    oldtable => CASE WHEN p.proname IN ('note_link_changes', 'note_port_moves') THEN 'old_rows' END) c
  WHERE l.lanname = 'plpgsql'
    AND n.nspname IN ('public', 'vexa_configuration_dev', 'routingtable_pck', 'pathqueries_pck')
    AND c.level = 'error'
$$, 'plpgsql_check finds no error in any function');

-- A network: h1 reaches h2 through s1 or s2 (bidirectional links).
SELECT ferrule_reset();
INSERT INTO vexa_lg_devices (devicename, devicetypeID, deviceid, node, system_name) VALUES
  ('h1', 1, 1, 1, 2), ('s1', 1, 3, 0, 2), ('s2', 1, 5, 0, 2), ('h2', 1, 7, 1, 2);
INSERT INTO vexa_port_properties (portid, deviceid, port_nbr, port_way) VALUES
  (2, 1, 'a', 1), (4, 1, 'b', 1), (6, 3, 'a', 2), (8, 3, 'b', 2),
  (10, 5, 'a', 2), (12, 5, 'b', 2), (14, 7, 'a', 1), (16, 7, 'b', 1);
INSERT INTO vexa_macroscopic_connectivity
  (linkid, portidfrom, portidto, bidirectional_link_used, link_weight, lkused) VALUES
  (1, 6, 2, 1, 2, 1), (2, 10, 4, 1, 2, 1), (3, 8, 14, 1, 2, 1), (4, 12, 16, 1, 2, 1);

SELECT is(routingtable_pck.createRT_all_devname('h1', 1, 10, 1), 0, 'routing table built');
SELECT results_eq(
  $$ SELECT nodeid_end1, pfromid0, ptoid0, ptoid1, routingpathused
     FROM vexa_routingtable WHERE nodeid_start0 = 1 ORDER BY 1, 2 $$,
  $$ VALUES (3, 2, 6, 6, 1), (5, 4, 10, 10, 1), (7, 2, 6, 14, 1), (7, 4, 10, 16, 0) $$,
  'one row per shortest route and first link, the lowest output port in use');
SELECT is(routingtable_pck.createTD_all_devname('h1', 1, 10, 1), 0, 'destination table built');
SELECT results_eq(
  $$ SELECT nodeid_end1, pfromid0 FROM vexa_destinationtable WHERE nodeid_start0 = 1 ORDER BY 1, 2 $$,
  $$ VALUES (3, 2), (5, 4), (7, 2), (7, 4) $$,
  'destinations with the ports they are reached through');

UPDATE vexa_macroscopic_connectivity SET lkused = 0 WHERE linkid = 3;
SELECT is(routingtable_pck.updatepathused(1), 0, 'refresh done');
SELECT results_eq(
  $$ SELECT pfromid0, routingpathused FROM vexa_routingtable
     WHERE nodeid_start0 = 1 AND nodeid_end1 = 7 ORDER BY 1 $$,
  $$ VALUES (4, 1) $$, 'a route over an unused link is gone, the other one in use');
SELECT is((SELECT count(*)::int FROM vexa_pdetails WHERE node1 = 1 AND node11 = 7), 1,
          'path details keep only usable routes');

DELETE FROM vexa_macroscopic_connectivity WHERE linkid = 4;
SELECT is(routingtable_pck.deleteLinksInPaths(12, 16), 0, 'deleted link refreshed');
SELECT is((SELECT count(*)::int FROM vexa_routingtable WHERE nodeid_start0 = 1 AND nodeid_end1 = 7), 0,
          'a device whose links are unused or deleted is not reached');
SELECT is(pathqueries_pck.CheckAndUpdateDynamicTables(1), 'NOTHING_TO_UPDATE',
          'nothing left to refresh');

-- Bad input answers through the result.
SELECT is(routingtable_pck.createRT_all_devname(NULL, 1, 10, 1), -1, 'null device name');
SELECT is(routingtable_pck.createTD_all_devname('h1', 1, 0, 1), -2, 'round-trip count 0');

-- A board with two components: port 18 -> c1 -> c2 -> port 20.
INSERT INTO vexa_lg_devices (devicename, devicetypeID, deviceid, node) VALUES ('brd', 1, 9, 0);
INSERT INTO vexa_port_properties (portid, deviceid, port_nbr, port_way) VALUES (18, 9, 'i', 1), (20, 9, 'o', 2);
INSERT INTO vexa_lg_cpnts (cpntname, cpnttype, cpntid, motherboardid) VALUES ('c1', 't', 1, 9), ('c2', 't', 2, 9);
INSERT INTO vexa_microscopic_connectivity
  (linkid, cpntidfrom, portidfrom, cpntidto, portidto, bidirectional_link_used, link_weight, lkused) VALUES
  (1, -1, 18, 1, 1, 0, 1, 1), (2, 1, 2, 2, 1, 0, 0, 1), (3, 2, 2, -1, 20, 0, 2, 1);
DO $$
DECLARE r integer; c integer;
BEGIN
  CALL routingtable_pck.CreateMicroNodeLink_tab(18, 1, r, c);
  PERFORM set_config('ferrule.t1', r || '/' || c, true);
  CALL routingtable_pck.CreateMicroNodeLink_tab(0, 1, r, c, 'c1');
  PERFORM set_config('ferrule.t2', r || '/' || c, true);
  CALL routingtable_pck.CreateMicroNodeLink_tab(0, 1, r, c, 'nobody');
  PERFORM set_config('ferrule.t3', r || '/' || c, true);
END $$;
SELECT is(current_setting('ferrule.t1') || ',' || current_setting('ferrule.t2') || ','
          || current_setting('ferrule.t3'), '0/-1,0/1,-1/-1',
          'the board is found from a port or a component, not from an unknown name');
DO $$ DECLARE r integer; c integer; BEGIN CALL routingtable_pck.CreateMicroNodeLink_tab(18, 1, r, c); END $$;
SELECT is(routingtable_pck.CreateMicroPathTab_Host(18), 0, 'paths listed from a board port');
SELECT is(routingtable_pck.InsertIntoMicroPathFromPortID(18, 20, NULL), 0, 'paths to a port kept');
SELECT results_eq(
  $$ SELECT pathid, link_pos, nfrom::text, nto::text FROM vexa_micropath_temp ORDER BY 1, 2 $$,
  $$ VALUES (0, 1, 'brd', 'c1'), (0, 2, 'c1', 'c2'), (0, 3, 'c2', 'brd') $$,
  'one row per link of each path, board ends named after the board');
SELECT is(routingtable_pck.InsertIntoMicroPathCnptType(18, 'none_such', 1), -1,
          'a type the board lacks is refused');

-- A random network of 30 devices (every third a node) with 8 ports each
-- and 60 links of random weight (0 to 3), direction flag and use. Every
-- device has a routing table and a destination table (some with a
-- round-trip count of 3). Each round changes one to three links (use,
-- direction flag, weight, far port, deletion, a new link) or moves a port
-- to another device, then refreshes; the stored tables must be what
-- building them again gives, whether the refresh looks at devices one by
-- one or builds tables again. Routes that end at a device first reached
-- (weight 2 from the second step on) while a longer route passes it occur,
-- so the routes kept only for the routes behind them are refreshed too.
SELECT ferrule_reset();
SELECT setseed(0.25);
INSERT INTO vexa_lg_devices (devicename, devicetypeID, deviceid, node, system_name)
SELECT 'r' || g, 1, g, (g % 3 = 0)::int, 2 FROM generate_series(1, 30) g;
INSERT INTO vexa_port_properties (portid, deviceid, port_nbr, port_way)
SELECT d * 100 + p, d, p::text, 1 + p % 2 FROM generate_series(1, 30) d, generate_series(1, 8) p;
CREATE FUNCTION pg_temp.random_port() RETURNS integer LANGUAGE sql
AS $$ SELECT (1 + floor(random() * 30))::int * 100 + (1 + floor(random() * 8))::int $$;
CREATE FUNCTION pg_temp.add_link(id integer) RETURNS void LANGUAGE sql
AS $$
  INSERT INTO vexa_macroscopic_connectivity
    (linkid, portidfrom, portidto, bidirectional_link_used, link_weight, lkused)
  VALUES (id, pg_temp.random_port(), pg_temp.random_port(), (random() < 0.6)::int,
          floor(random() * 4)::int, (random() < 0.85)::int)
$$;
SELECT pg_temp.add_link(g) FROM generate_series(1, 60) g;
-- The stored tables as the library reads them.
CREATE FUNCTION pg_temp.stored_tables() RETURNS TABLE (row_text text) LANGUAGE sql
AS $$
  SELECT 'RT ' || concat_ws(' ', nodeid_start0, nodeid_end1, pfromid0, ptoid0, ptoid1,
                            routingpathused) FROM vexa_routingtable
  UNION ALL
  SELECT 'TD ' || concat_ws(' ', nodeid_start0, nodeid_end1, pfromid0) FROM vexa_destinationtable
  UNION ALL
  SELECT 'PD ' || concat_ws(' ', node1, node2, node3, node4, node5, node6, node7, node8, node9,
                            node10, node11) FROM vexa_pdetails
$$;
CREATE FUNCTION pg_temp.build_all() RETURNS void LANGUAGE sql
AS $$
  SELECT routingtable_pck.createRT_all_devname(devicename, 1, 10, 1),
         routingtable_pck.createTD_all_devname(devicename, 1, CASE WHEN deviceid % 4 = 0 THEN 3 ELSE 10 END, 1)
  FROM vexa_lg_devices WHERE deviceid > 0
$$;
CREATE TEMP TABLE refresh_mismatches (round integer, row_text text);
CREATE FUNCTION pg_temp.change_and_compare(first_round integer, last_round integer)
RETURNS void LANGUAGE plpgsql
AS $$
DECLARE
  link integer;
BEGIN
  PERFORM pg_temp.build_all();
  FOR round IN first_round..last_round LOOP
    FOR change IN 1..1 + floor(random() * 3)::int LOOP
      SELECT linkid INTO link FROM vexa_macroscopic_connectivity ORDER BY random() LIMIT 1;
      CASE floor(random() * 7)::int
        WHEN 0 THEN UPDATE vexa_macroscopic_connectivity SET lkused = 1 - lkused WHERE linkid = link;
        WHEN 1 THEN UPDATE vexa_macroscopic_connectivity
                    SET bidirectional_link_used = 1 - bidirectional_link_used WHERE linkid = link;
        WHEN 2 THEN UPDATE vexa_macroscopic_connectivity
                    SET link_weight = floor(random() * 4)::int WHERE linkid = link;
        WHEN 3 THEN UPDATE vexa_macroscopic_connectivity
                    SET portidto = pg_temp.random_port() WHERE linkid = link;
        WHEN 4 THEN DELETE FROM vexa_macroscopic_connectivity WHERE linkid = link;
        WHEN 5 THEN PERFORM pg_temp.add_link(1000 + round * 10 + change);
        ELSE UPDATE vexa_port_properties
             SET deviceid = 1 + floor(random() * 30)::int, port_nbr = 'moved' || round || change
             WHERE portid = (SELECT portidfrom FROM vexa_macroscopic_connectivity WHERE linkid = link);
      END CASE;
    END LOOP;
    IF routingtable_pck.updatepathused(1) <> 0 THEN
      INSERT INTO refresh_mismatches VALUES (round, 'refresh failed');
    END IF;
    CREATE TEMP TABLE refreshed AS SELECT * FROM pg_temp.stored_tables();
    PERFORM pg_temp.build_all();
    INSERT INTO refresh_mismatches
    SELECT round, 'refreshed, not built: ' || row_text
    FROM (SELECT row_text FROM refreshed EXCEPT ALL SELECT row_text FROM pg_temp.stored_tables()) d
    UNION ALL
    SELECT round, 'built, not refreshed: ' || row_text
    FROM (SELECT row_text FROM pg_temp.stored_tables() EXCEPT ALL SELECT row_text FROM refreshed) d;
    DROP TABLE refreshed;
  END LOOP;
END
$$;
SELECT pg_temp.change_and_compare(1, 25);
-- Again with tables built again as soon as a round looks at more than 3 of
-- their devices.
CREATE OR REPLACE FUNCTION routingtable_pck.rebuild_threshold() RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT 3 $$;
SELECT pg_temp.change_and_compare(26, 40);
SELECT is_empty($$ SELECT * FROM refresh_mismatches ORDER BY 1, 2 $$,
                'after every refresh, the stored tables are what a build gives');
SELECT cmp_ok((SELECT count(*)::int FROM vexa_routingtable), '>', 100,
              'the random network has routes to compare');
SELECT cmp_ok((SELECT count(*)::int FROM routingtable_pck.routes r
               CROSS JOIN LATERAL unnest(r.listed) AS e(listed) WHERE NOT e.listed), '>', 0,
              'the random network has routes that pass a device first reached by one that ends');

-- Without its tables the package still answers through results.
SELECT is(vexa_configuration_dev.droptableschema(1), 0, 'tables dropped');
SELECT is(routingtable_pck.createRT_all_devname('r1', 1, 10, 1), -3, 'a build without tables fails as a result');

SELECT * FROM finish();
ROLLBACK;
