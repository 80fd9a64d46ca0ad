-- Oracle's DECODE for a PostgreSQL MES database: the orafce extension, with its schema "oracle"
-- on the database's search path (orafce creates DECODE in that schema, not in public; without
-- it PostgreSQL reports "function decode(numeric, unknown, integer, numeric) does not exist").
-- Run once per MES database, as a superuser, connected to that database; sessions opened
-- afterwards find DECODE. The inspection database needs none of this.
CREATE EXTENSION IF NOT EXISTS orafce;
DO $$
BEGIN
  EXECUTE format('ALTER DATABASE %I SET search_path = "$user", public, oracle',
                 current_database());
END
$$;
