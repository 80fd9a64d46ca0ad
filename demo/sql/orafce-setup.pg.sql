CREATE EXTENSION IF NOT EXISTS orafce;
DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET search_path = "$user", public, oracle', current_database()); END $$;
