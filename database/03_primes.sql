-- The first 1000 primes (2 .. 7919), numbered from 1. New simple link types
-- take their number from this table by position.
INSERT INTO vexa_prime_number (prime_nb, prime_nb_position)
SELECT n, row_number() OVER (ORDER BY n)
FROM generate_series(2, 7919) AS n
WHERE NOT EXISTS (
  SELECT 1 FROM generate_series(2, floor(sqrt(n))::int) AS d WHERE n % d = 0
);
