-- Helper functions that the library's statements and the column defaults use
-- where PostgreSQL's built-ins behave differently from what the statements
-- expect. Loaded first: the tables' defaults refer to vexa_sysdate().

-- The current time of the running statement, to the second.
-- statement_timestamp() and not now(): a transaction of the library spans
-- several calls, and each statement must see its own time. date_trunc cuts
-- the fraction; a cast to timestamp(0) alone would round it up.
CREATE FUNCTION vexa_sysdate() RETURNS timestamp(0)
LANGUAGE sql STABLE PARALLEL SAFE
AS $$ SELECT date_trunc('second', statement_timestamp()::timestamp)::timestamp(0) $$;

-- Reads a date text in the form YY/MM/DD/HH24/MI/SS, time included.
-- A two-digit year lies in the current century (99 -> 2099, 05 -> 2005);
-- to_timestamp alone would put 70-99 in the 1900s. A year written with four
-- digits is taken as it is. Fields left off at the end read as zero
-- ('05/03/01' is midnight). A text that does not fit the form raises
-- invalid_datetime_format (22007), as to_timestamp does.
-- The time zone is fixed to UTC inside the function so that the
-- timestamptz of to_timestamp converts back to the same wall-clock time
-- (no hour lost or gained in a daylight-saving gap).
CREATE FUNCTION vexa_to_date(t text) RETURNS timestamp(0)
LANGUAGE plpgsql STABLE STRICT PARALLEL SAFE
SET timezone = 'UTC'
AS $$
DECLARE
  m text[];
BEGIN
  m := regexp_match(t, '^\s*([0-9]{1,2})([^0-9].*)?$');
  IF m IS NOT NULL THEN
    t := ((extract(year FROM current_date)::int / 100) * 100
          + m[1]::int)::text || coalesce(m[2], '');
  END IF;
  RETURN to_timestamp(t, 'YYYY/MM/DD/HH24/MI/SS')::timestamp(0);
END
$$;

-- mod(a, b), except that b = 0 gives a instead of a division error.
CREATE FUNCTION vexa_mod(a integer, b integer) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT CASE WHEN b = 0 THEN a ELSE mod(a, b) END $$;

CREATE FUNCTION vexa_mod(a bigint, b bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT CASE WHEN b = 0 THEN a ELSE mod(a, b) END $$;

CREATE FUNCTION vexa_mod(a numeric, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
AS $$ SELECT CASE WHEN b = 0 THEN a ELSE mod(a, b) END $$;

-- The exact product of the non-null inputs, as numeric; NULL over no rows
-- (like sum). Used for subsystem sets and composite link-type numbers,
-- which are products of distinct primes. Integer and bigint arguments
-- convert to numeric implicitly; assigning the result to an integer column
-- converts back, and raises numeric_value_out_of_range (22003) when the
-- product does not fit.
CREATE AGGREGATE vexa_prime_product(numeric) (
  SFUNC = numeric_mul,
  STYPE = numeric
);

-- The names of a list of link types, as the composite link-type statements
-- read it: items separated by commas, each a name written bare (A,B) or
-- between single quotes with each quote inside doubled ('A','it''s'), as the
-- control-script functions join them. A quoted item runs to its closing
-- quote, the first one not doubled, which a comma or the end of the list
-- must follow; so it may hold commas ('a,b' is one name). Any other item
-- runs to the next comma and is the name exactly as written, blanks
-- included, except that one beginning and ending with a quote is what it
-- holds between them: a name whose quote the caller did not double ('it's')
-- is still found. A name listed twice is there twice. NULL for a NULL list.
CREATE FUNCTION link_type_list_names(lklist text) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
  names text[] := '{}';
  rest text := lklist;
  quoted text[];
  item text;
BEGIN
  LOOP
    quoted := regexp_match(rest, '^''((?:[^'']|'''')*)''(,|$)');
    IF quoted IS NOT NULL THEN
      names := names || replace(quoted[1], '''''', '''');
      EXIT WHEN quoted[2] = '';
      rest := substr(rest, length(quoted[1]) + 4);  -- past both quotes and the comma
    ELSE
      item := split_part(rest, ',', 1);
      IF length(item) >= 2 AND item LIKE '''%''' THEN
        item := substr(item, 2, length(item) - 2);
      END IF;
      names := names || item;
      EXIT WHEN strpos(rest, ',') = 0;
      rest := substr(rest, strpos(rest, ',') + 1);
    END IF;
  END LOOP;
  RETURN names;
END
$$;
