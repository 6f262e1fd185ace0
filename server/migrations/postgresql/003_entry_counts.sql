-- Counts kept up to date by the inserts and deletes themselves, so that a
-- table's game count and an entry's place cost a few rows instead of a walk
-- through every entry above it: the entries of each table, of each score,
-- and of each band of 64 scores. Writers already pass the write gate one at
-- a time, so these shared rows add no waiting.
CREATE TABLE table_entry_counts (
  table_id BIGINT PRIMARY KEY,
  entries BIGINT NOT NULL
);
CREATE TABLE table_score_counts (
  table_id BIGINT NOT NULL,
  score BIGINT NOT NULL,
  entries BIGINT NOT NULL,
  PRIMARY KEY (table_id, score)
);
CREATE TABLE table_band_counts (
  table_id BIGINT NOT NULL,
  band BIGINT NOT NULL,
  entries BIGINT NOT NULL,
  PRIMARY KEY (table_id, band)
);
INSERT INTO table_entry_counts (table_id, entries)
  SELECT table_id, count(*) FROM table_entries GROUP BY table_id;
INSERT INTO table_score_counts (table_id, score, entries)
  SELECT table_id, score, count(*) FROM table_entries GROUP BY table_id, score;
INSERT INTO table_band_counts (table_id, band, entries)
  SELECT table_id, score / 64, count(*) FROM table_entries GROUP BY table_id, score / 64;
CREATE FUNCTION count_table_entries() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF TG_OP = 'INSERT' THEN
    INSERT INTO table_entry_counts (table_id, entries) VALUES (NEW.table_id, 1)
      ON CONFLICT (table_id) DO UPDATE SET entries = table_entry_counts.entries + 1;
    INSERT INTO table_score_counts (table_id, score, entries) VALUES (NEW.table_id, NEW.score, 1)
      ON CONFLICT (table_id, score) DO UPDATE SET entries = table_score_counts.entries + 1;
    INSERT INTO table_band_counts (table_id, band, entries) VALUES (NEW.table_id, NEW.score / 64, 1)
      ON CONFLICT (table_id, band) DO UPDATE SET entries = table_band_counts.entries + 1;
  ELSE
    UPDATE table_entry_counts SET entries = entries - 1 WHERE table_id = OLD.table_id;
    UPDATE table_score_counts SET entries = entries - 1
      WHERE table_id = OLD.table_id AND score = OLD.score;
    UPDATE table_band_counts SET entries = entries - 1
      WHERE table_id = OLD.table_id AND band = OLD.score / 64;
  END IF;
  RETURN NULL;
END
$$;
CREATE TRIGGER table_entries_counted AFTER INSERT OR DELETE ON table_entries
  FOR EACH ROW EXECUTE FUNCTION count_table_entries();
