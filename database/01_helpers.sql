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
-- (like sum). Used for subsystem sets, which are products of distinct
-- primes. Integer and bigint arguments
-- convert to numeric implicitly; assigning the result to an integer column
-- converts back, and raises numeric_value_out_of_range (22003) when the
-- product does not fit.
CREATE AGGREGATE vexa_prime_product(numeric) (
  SFUNC = numeric_mul,
  STYPE = numeric
);

-- The least common multiple of the non-null inputs, as numeric; NULL over
-- no rows. Of products of distinct primes it is the product of every prime
-- that divides one of them, each once: the union of the sets they stand
-- for, as a composite link-type number combines its parts.
CREATE AGGREGATE vexa_number_union(numeric) (
  SFUNC = lcm,
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

-- Whether n is a prime: the numbers that simple link types hold.
CREATE FUNCTION vexa_is_prime(n integer) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
  d integer := 3;
BEGIN
  IF n < 2 THEN
    RETURN false;
  END IF;
  IF n % 2 = 0 THEN
    RETURN n = 2;
  END IF;
  WHILE d <= n / d LOOP
    IF n % d = 0 THEN
      RETURN false;
    END IF;
    d := d + 2;
  END LOOP;
  RETURN true;
END
$$;

-- Whether n is a product of distinct primes (1, the product of none,
-- included): a number a link type may hold. Zero and negative numbers are
-- not; zero, a multiple of every prime, would leave no prime free.
CREATE FUNCTION vexa_is_squarefree(n integer) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE
AS $$
DECLARE
  rest integer := n;
  d integer := 2;
BEGIN
  IF n < 1 THEN
    RETURN false;
  END IF;
  WHILE d <= rest / d LOOP
    IF rest % d = 0 THEN
      rest := rest / d;
      IF rest % d = 0 THEN
        RETURN false;
      END IF;
    END IF;
    d := CASE WHEN d = 2 THEN 3 ELSE d + 2 END;
  END LOOP;
  RETURN true;
END
$$;

-- Link-type numbers are products of the primes of simple types, so each
-- prime may have one holder only, and a new one must divide no number
-- already stored. Whatever chooses or stores a prime takes this lock first
-- and keeps it until its transaction ends: two sessions never choose the
-- same prime, and each sees the primes that the other committed.
CREATE FUNCTION lock_link_type_numbers() RETURNS void
LANGUAGE sql
AS $$ SELECT pg_advisory_xact_lock(hashtext('vexa_link_types.link_nbr')::bigint) $$;

-- The prime for a simple link type: the first of vexa_prime_number, from
-- position first_position on, that no link type's number is a multiple of
-- (so that no type holds it, and no composite number holds it as a
-- factor). NULL when none is left. The statements pass the position that
-- their count of numbered types gives; the primes skipped from there are
-- those that types hold, or held before they were made composite, cleared
-- or deleted while composites keep them. Reads vexa_link_types after the
-- lock, in a snapshot of its own.
CREATE FUNCTION link_type_free_prime(first_position bigint) RETURNS integer
LANGUAGE plpgsql VOLATILE
AS $$
DECLARE
  candidate integer;
BEGIN
  PERFORM lock_link_type_numbers();
  FOR candidate IN
    SELECT p.prime_nb FROM vexa_prime_number p
    WHERE p.prime_nb_position >= first_position
    ORDER BY p.prime_nb_position
  LOOP
    IF NOT EXISTS (SELECT 1 FROM vexa_link_types t WHERE mod(t.link_nbr, candidate) = 0) THEN
      RETURN candidate;
    END IF;
  END LOOP;
  RETURN NULL;
END
$$;

-- The number of a composite link type made of the types that lklist names
-- (as link_type_list_names reads it): the union of the primes of their
-- numbers (vexa_number_union), so that a prime that two parts share, or a
-- type named twice, counts once. NULL, so that nothing is stored, for a
-- list that cannot make one: a NULL list, an empty name, a name that is
-- not a link type with a number, a list naming own_name (the type being
-- given the number: it would be made of itself), or a number that a link
-- type other than own_name holds (one type named alone, or the parts of
-- another type: the number would have two holders). The number may be
-- beyond an integer; the callers store only one that fits. Takes
-- lock_link_type_numbers() and reads the table after it, in a snapshot of
-- its own, so that two sessions making the same number take turns and the
-- second sees the first one's holder.
CREATE FUNCTION link_type_list_number(lklist text, own_name text) RETURNS numeric
LANGUAGE plpgsql VOLATILE
AS $$
DECLARE
  names text[] := ARRAY(SELECT DISTINCT n FROM unnest(link_type_list_names(lklist)) AS n);
  number numeric;
  found bigint;
BEGIN
  IF cardinality(names) = 0 OR '' = ANY (names) OR own_name = ANY (names) THEN
    RETURN NULL;
  END IF;
  PERFORM lock_link_type_numbers();
  SELECT vexa_number_union(t.link_nbr), count(*) INTO number, found
  FROM vexa_link_types t
  WHERE t.link_name = ANY (names) AND t.link_nbr IS NOT NULL;
  IF found < cardinality(names) THEN
    RETURN NULL;
  END IF;
  IF EXISTS (SELECT 1 FROM vexa_link_types t
             WHERE t.link_nbr = number AND t.link_name IS DISTINCT FROM own_name) THEN
    RETURN NULL;
  END IF;
  RETURN number;
END
$$;

-- Trigger of vexa_link_types: a row given a prime as its number is refused
-- (unique_violation) when another link type's number is a multiple of it,
-- that prime itself included. Composite numbers (and numbers that do not
-- change) are not looked at: they are products of the primes that simple
-- types hold, and the unique index on the numbers keeps each to one holder.
CREATE FUNCTION link_type_prime_is_free() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
  IF NEW.link_nbr IS NOT NULL AND vexa_is_prime(NEW.link_nbr)
     AND (TG_OP = 'INSERT' OR NEW.link_nbr IS DISTINCT FROM OLD.link_nbr) THEN
    PERFORM lock_link_type_numbers();
    IF EXISTS (SELECT 1 FROM vexa_link_types t
               WHERE t.linktypeID <> NEW.linktypeID AND mod(t.link_nbr, NEW.link_nbr) = 0) THEN
      RAISE EXCEPTION 'link type number % is held by another link type', NEW.link_nbr
        USING ERRCODE = 'unique_violation',
              DETAIL = 'A prime of a simple link type divides no other link type''s number.';
    END IF;
  END IF;
  RETURN NEW;
END
$$;
