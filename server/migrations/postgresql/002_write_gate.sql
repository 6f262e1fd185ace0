-- Write transactions lock this empty table first, before their snapshot is
-- taken, so that writers from every process run one after another and never
-- abort each other over the few rows they all touch (the limit buckets).
CREATE TABLE write_gate (unused INTEGER);
