-- Server procedures of the inventory changes: what becomes of the hardware
-- components of a board when the board's hardware leaves its functional
-- device (replacement, repair, test use) and when other hardware is mounted
-- in its place.
--
-- A hardware component sits on a board's hardware: its location holds the
-- board hardware's serial number, and while it is mounted it fills a
-- component position (a vexa_lg_cpnts row whose motherboardid is the
-- functional device). The components follow their board: they take its
-- status, keep their location, and leave the positions of a device that
-- the board leaves. Positions of a device take the components of newly
-- mounted hardware by name (the component's hwname is the position's
-- cpntname), as UpdateHWDeviceStatus does when it mounts a board.
--
-- Everything runs in the caller's transaction and never commits. The two
-- procedures report failure through their result: 0 when done, -1
-- otherwise (a missing argument, or an error, whose changes are then
-- undone); -1 never collides with the result codes of the library's
-- blocks (-3, -5, -10, -15).

-- The word that history rows store for a hardware status code.
CREATE FUNCTION vexa_configuration_dev.hw_status_word(code integer)
RETURNS text
LANGUAGE sql IMMUTABLE
AS $$
  SELECT CASE code
    WHEN 1 THEN 'IN_USE' WHEN 2 THEN 'SPARE' WHEN 3 THEN 'TEST'
    WHEN 4 THEN 'EXT_TEST' WHEN 5 THEN 'IN_REPAIR' WHEN 6 THEN 'DESTROYED'
    WHEN 7 THEN 'NONE' ELSE 'INVALID' END
$$;

-- The snbids of the hardware components that belong to the hardware
-- mounted in device boardid: those mounted in its positions, the others
-- located on the same hardware, and those located on board_serial (the
-- board hardware's serial number, when the caller knows it). A location
-- counts as a board only when it is the serial number of a hardware
-- device, so that spares sharing a shelf never follow a board.
CREATE FUNCTION vexa_configuration_dev.board_hw_cpnts(boardid integer, board_serial text)
RETURNS integer[]
LANGUAGE sql STABLE
AS $$
  WITH mounted AS (
    SELECT h.snbid, h.location
    FROM vexa_hw_cpnts h JOIN vexa_lg_cpnts c ON c.snbid = h.snbid
    WHERE c.motherboardid = boardid AND h.snbid <> -1),
  boards AS (
    SELECT m.location AS serialnb FROM mounted m
    JOIN vexa_hw_devices d ON d.serialnb = m.location
    UNION
    SELECT board_serial WHERE board_serial IS NOT NULL)
  SELECT coalesce(array_agg(h.snbid ORDER BY h.snbid), '{}')
  FROM vexa_hw_cpnts h
  WHERE h.snbid <> -1
    AND (h.snbid IN (SELECT snbid FROM mounted)
         OR h.location IN (SELECT serialnb FROM boards))
$$;

-- The snbids of the hardware components located on the board hardware
-- board_serial, as the mounting of that hardware brings them along.
CREATE FUNCTION vexa_configuration_dev.cpnts_located_on(board_serial text)
RETURNS integer[]
LANGUAGE sql STABLE
AS $$
  SELECT ARRAY(SELECT h.snbid FROM vexa_hw_cpnts h
               WHERE h.location = board_serial AND h.snbid <> -1)
$$;

-- The positions of device boardid that hold one of the components lose
-- them. With none_rows each such position first gets a 'NONE' history row
-- at the date, located at the device's name.
CREATE FUNCTION vexa_configuration_dev.leave_positions(
  boardid integer, cpnts integer[], change timestamp(0), none_rows boolean,
  login text, usercomment text, host text)
RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
  IF none_rows THEN
    INSERT INTO vexa_cpnt_history (historycpntid, cpntid, cpnt_status, user_comment,
                                   location, status_change, created, author, terminal_name)
    SELECT nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ'), c.cpntid, 'NONE', usercomment,
           d.devicename, change, vexa_sysdate(), login, host
    FROM vexa_lg_cpnts c JOIN vexa_lg_devices d ON d.deviceid = c.motherboardid
    WHERE c.motherboardid = boardid AND c.snbid = ANY (cpnts)
    ORDER BY c.cpntid;
  END IF;
  UPDATE vexa_lg_cpnts
  SET snbid = NULL, last_update = vexa_sysdate(), user_update = login
  WHERE motherboardid = boardid AND snbid = ANY (cpnts);
END
$$;

-- The components take the status code. When boardid is given, each empty
-- position of that device takes the component whose hwname is its name.
-- Each component gets a history row with the status word at the date,
-- located where the component is, naming the position it now fills (none
-- when it fills none).
CREATE FUNCTION vexa_configuration_dev.take_positions(
  boardid integer, cpnts integer[], code integer, change timestamp(0),
  login text, usercomment text, host text)
RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
  UPDATE vexa_hw_cpnts SET cpnt_status = code WHERE snbid = ANY (cpnts);
  IF boardid IS NOT NULL THEN
    UPDATE vexa_lg_cpnts t
    SET snbid = m.snbid, last_update = vexa_sysdate(), user_update = login
    FROM (SELECT p.hwname, min(p.snbid) AS snbid FROM vexa_hw_cpnts p
          WHERE p.snbid = ANY (cpnts) GROUP BY p.hwname) m
    WHERE t.motherboardid = boardid AND t.snbid IS NULL AND m.hwname = t.cpntname;
  END IF;
  INSERT INTO vexa_cpnt_history (historycpntid, snbid, cpntid, cpnt_status, user_comment,
                                 location, status_change, created, author, terminal_name)
  SELECT nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ'), h.snbid, c.cpntid,
         vexa_configuration_dev.hw_status_word(code), usercomment, h.location, change,
         vexa_sysdate(), login, host
  FROM vexa_hw_cpnts h
  LEFT JOIN vexa_lg_cpnts c ON c.snbid = h.snbid AND c.motherboardid = boardid
  WHERE h.snbid = ANY (cpnts)
  ORDER BY h.snbid;
END
$$;

-- The microscopic links from or to a position of device boardid are used
-- (lkused 1) when the hardware components at both ends are IN_USE, not
-- used (0) when both ends have hardware otherwise, and NULL when an end
-- has none; the same rule as the library's own recomputation.
CREATE FUNCTION vexa_configuration_dev.recompute_micro_lkused(boardid integer, login text)
RETURNS void
LANGUAGE sql
AS $$
  UPDATE vexa_microscopic_connectivity e
  SET last_update = vexa_sysdate(), user_update = login,
      lkused = (SELECT CASE t.cpnt_status * f.cpnt_status WHEN 1 THEN 1 ELSE 0 END
                FROM vexa_hw_cpnts t, vexa_hw_cpnts f, vexa_lg_cpnts l, vexa_lg_cpnts m
                WHERE t.snbid = l.snbid AND l.cpntid = e.cpntidfrom
                  AND e.cpntidto = m.cpntid AND m.snbid = f.snbid)
  WHERE e.cpntidfrom IN (SELECT cpntid FROM vexa_lg_cpnts WHERE motherboardid = boardid)
     OR e.cpntidto IN (SELECT cpntid FROM vexa_lg_cpnts WHERE motherboardid = boardid);
$$;

-- The hardware components cpnts leave the board hardware of device boardid
-- at the date change: they leave its positions, take the status code and,
-- when target_board is given, the positions of that device by name. With
-- a replacement (the board hardware replacement, mounted in boardid at
-- change2; change2 NULL: none) the replacement's components take status
-- IN_USE and the positions of boardid, with 'IN_USE' rows at change2, and
-- the 'NONE' rows of the positions left are written only when change is
-- earlier than change2. The usage of the positions' microscopic links of
-- boardid is recomputed.
CREATE FUNCTION vexa_configuration_dev.move_board_cpnts(
  boardid integer, cpnts integer[], target_board integer, code integer, change timestamp(0),
  replacement text, change2 timestamp(0), login text, usercomment text, host text)
RETURNS void
LANGUAGE plpgsql
AS $$
BEGIN
  PERFORM vexa_configuration_dev.leave_positions(
    boardid, cpnts, change, change2 IS NULL OR change < change2, login, usercomment, host);
  PERFORM vexa_configuration_dev.take_positions(
    target_board, cpnts, code, change, login, usercomment, host);
  IF change2 IS NOT NULL THEN
    PERFORM vexa_configuration_dev.take_positions(
      boardid, vexa_configuration_dev.cpnts_located_on(replacement), 1, change2, login,
      usercomment, host);
  END IF;
  PERFORM vexa_configuration_dev.recompute_micro_lkused(boardid, login);
END
$$;

-- Called after the hardware of device devid was taken out of use with the
-- status code status at the date statchange (the library has already
-- changed the device and the hardware device). The board's hardware
-- components follow it: they take the status, get a history row, and
-- leave the device's positions, each position getting a 'NONE' row. With
-- a replacement (snb, mounted at statchange2, already set on the device)
-- the replacement's components take status IN_USE and the positions by
-- name, with 'IN_USE' rows at statchange2; the 'NONE' rows are then
-- written only when statchange is earlier than statchange2, as for the
-- device itself. The usage of the positions' microscopic links is
-- recomputed. location, the new location of the removed hardware, is
-- accepted and not needed: the components stay on their board.
-- Returns 0 when done, -1 when devid or a needed date is missing or an
-- error undid the procedure's changes.
CREATE FUNCTION vexa_configuration_dev.UpdateBoardCpnt(
  devid integer, location text, status integer, statchange text,
  login text, usercomment text, host text,
  snb text DEFAULT NULL, statchange2 text DEFAULT NULL)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  change timestamp(0);
  change2 timestamp(0);
BEGIN
  -- In the body, not in DECLARE, so that a bad date text is caught below.
  change := vexa_to_date(statchange);
  change2 := vexa_to_date(statchange2);
  IF devid IS NULL OR status IS NULL OR change IS NULL
     OR (snb IS NOT NULL AND change2 IS NULL) THEN
    RETURN -1;
  END IF;
  -- Without snb there is no replacement, whatever statchange2 says.
  PERFORM vexa_configuration_dev.move_board_cpnts(
    devid, vexa_configuration_dev.board_hw_cpnts(devid, NULL), NULL, status, change,
    snb, CASE WHEN snb IS NOT NULL THEN change2 END, login, usercomment, host);
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;

-- Called after the hardware of device fdevid was moved to the test board
-- testid at the date statchange (the library has already set it on the
-- test board, with status TEST). The board's hardware components follow
-- it: they leave the positions of fdevid (each position getting a 'NONE'
-- row), take status TEST, take the positions of the test board by name,
-- and get a 'TEST' history row. With a replacement (already set on fdevid,
-- mounted at statchange2; snb is then the moved hardware's serial number)
-- the replacement's components take status IN_USE and the positions of
-- fdevid, with 'IN_USE' rows at statchange2, and the 'NONE' rows are
-- written only when statchange is earlier than statchange2. The usage of
-- the microscopic links of both devices' positions is recomputed.
-- Returns 0 when done, -1 when an id or a needed date is missing or an
-- error undid the procedure's changes.
CREATE FUNCTION vexa_configuration_dev.TestUseBoardCpnt(
  fdevid integer, testid integer, statchange text,
  login text, usercomment text, host text,
  snb text DEFAULT NULL, statchange2 text DEFAULT NULL)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
  change timestamp(0);
  change2 timestamp(0);
  moved_serial text;
  replacement text;
BEGIN
  change := vexa_to_date(statchange);
  change2 := vexa_to_date(statchange2);
  IF fdevid IS NULL OR testid IS NULL OR change IS NULL
     OR (statchange2 IS NOT NULL AND change2 IS NULL) THEN
    RETURN -1;
  END IF;
  SELECT serialnb INTO moved_serial FROM vexa_lg_devices WHERE deviceid = testid;
  moved_serial := coalesce(snb, moved_serial);
  -- The replacement is already set on fdevid.
  SELECT serialnb INTO replacement FROM vexa_lg_devices WHERE deviceid = fdevid;
  PERFORM vexa_configuration_dev.move_board_cpnts(
    fdevid, vexa_configuration_dev.board_hw_cpnts(fdevid, moved_serial), testid, 3, change,
    replacement, change2, login, usercomment, host);
  PERFORM vexa_configuration_dev.recompute_micro_lkused(testid, login);
  RETURN 0;
EXCEPTION WHEN OTHERS THEN
  RETURN -1;
END
$$;
