-- One number per topic of the kept read answers (the tables, the statistics,
-- the rated players, the accounts), moved on by every write that changes
-- what the topic's reads return, in the same transaction: a process that
-- kept an answer serves it again only while the number is unchanged, so a
-- write through one process shows in the next read through any other.
CREATE TABLE topic_generations (
  topic INTEGER PRIMARY KEY,
  generation BIGINT NOT NULL
);
