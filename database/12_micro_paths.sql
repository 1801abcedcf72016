-- Paths inside a board (database/README.md, "Paths inside a board").
--
-- Every function runs in the caller's transaction, never commits, and
-- reports a failure through its result instead of raising.

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
