-- ferrule_reset(): empties every table back to the state right after the
-- installation: no data, the special rows, the sequences at their start
-- values, an empty subsystem list. The primes stay.
--
-- DELETE rather than TRUNCATE: TRUNCATE waits for every other session that
-- has merely read a table in a transaction still open (a lookup of the
-- library leaves one open until its next commit), while DELETE waits only
-- for rows that another transaction has changed. lock_timeout turns such a
-- wait into an error instead of a hang. Children go before their parents.
--
-- A later file that adds tables of its own adds a function named
-- ferrule_reset_<topic>() that empties them; ferrule_reset() runs every such
-- function, in name order, before the tables of this file are emptied.
CREATE FUNCTION ferrule_reset() RETURNS void
LANGUAGE plpgsql
SET lock_timeout = '10s'
AS $$
DECLARE
  hook regprocedure;
BEGIN
  FOR hook IN
    SELECT p.oid::regprocedure FROM pg_proc p
    WHERE p.proname LIKE 'ferrule\_reset\_%' AND p.pronargs = 0
      AND p.pronamespace = 'public'::regnamespace
    ORDER BY p.proname
  LOOP
    EXECUTE 'SELECT ' || hook::text;
  END LOOP;

  DELETE FROM vexa_macroscopic_connectivity;
  DELETE FROM vexa_microscopic_connectivity;
  DELETE FROM vexa_port_properties;
  DELETE FROM vexa_hwport_properties;
  DELETE FROM vexa_ipinfo;
  DELETE FROM vexa_cpnt_history;
  DELETE FROM vexa_lg_cpnts;
  DELETE FROM vexa_hw_cpnts;
  DELETE FROM vexa_device_history;
  DELETE FROM vexa_device_booting;
  DELETE FROM vexa_devicetype_booting;
  DELETE FROM vexa_lg_devices;
  DELETE FROM vexa_hw_devices;
  DELETE FROM vexa_lg_device_types;
  DELETE FROM vexa_link_types;
  DELETE FROM vexa_subsystemList;
  DELETE FROM vexa_pdetails;
  DELETE FROM vexa_destinationtable;
  DELETE FROM vexa_path_temp;
  DELETE FROM vexa_micropath_temp;

  PERFORM vexa_insert_special_rows();

  PERFORM setval(s.seqrelid, s.seqstart, false)
  FROM pg_sequence s
  WHERE s.seqrelid IN (
    'vexa_lg_deviceseq'::regclass, 'vexa_portseq'::regclass,
    'vexa_devtype_seq'::regclass, 'vexa_history_deviceseq'::regclass,
    'vexa_macroconnseq'::regclass, 'vexa_microconnseq'::regclass,
    'vexa_lktypeseq'::regclass, 'VEXA_LG_CPNTS_DEVICEID_SEQ'::regclass,
    'VEXA_HW_CPNTS_SNBID_SEQ'::regclass,
    'VEXA_CPNT_HISTORY_COMPTID_SEQ'::regclass);
END
$$;
