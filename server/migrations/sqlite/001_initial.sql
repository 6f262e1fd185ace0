-- Accounts, personal information and game records.
CREATE TABLE accounts (
  id INTEGER PRIMARY KEY,
  nick TEXT NOT NULL,
  nick_key TEXT NOT NULL UNIQUE,
  password_hash TEXT NOT NULL,
  city TEXT NOT NULL,
  country1 TEXT NOT NULL,
  country2 TEXT NOT NULL,
  sex TEXT NOT NULL,
  email TEXT NOT NULL,
  date_r TEXT NOT NULL,
  r01 TEXT NOT NULL,
  r02 TEXT NOT NULL,
  r03 TEXT NOT NULL,
  kezs INTEGER NOT NULL DEFAULT 0,
  r05 INTEGER NOT NULL DEFAULT 0,
  r06 INTEGER NOT NULL DEFAULT 0,
  created_at INTEGER NOT NULL
);

CREATE TABLE personal_info (
  account_id INTEGER NOT NULL REFERENCES accounts(id),
  field INTEGER NOT NULL,
  value TEXT NOT NULL,
  PRIMARY KEY (account_id, field)
);

CREATE TABLE game_records (
  account_id INTEGER NOT NULL REFERENCES accounts(id),
  game_id INTEGER NOT NULL,
  kon INTEGER NOT NULL,
  best INTEGER NOT NULL,
  score_sum INTEGER NOT NULL,
  rating REAL NOT NULL,
  game_open INTEGER NOT NULL,
  PRIMARY KEY (account_id, game_id)
);
CREATE INDEX game_records_by_rating ON game_records (game_id, rating DESC, account_id);

-- Tournament and chat tables.
CREATE TABLE table_entries (
  id INTEGER PRIMARY KEY,
  table_id INTEGER NOT NULL,
  score INTEGER NOT NULL,
  nick TEXT NOT NULL,
  country TEXT NOT NULL,
  city TEXT NOT NULL,
  r07 TEXT NOT NULL,
  r08 TEXT NOT NULL,
  r09 TEXT NOT NULL,
  r10 TEXT NOT NULL,
  created_at INTEGER NOT NULL
);
CREATE INDEX table_entries_by_score ON table_entries (table_id, score DESC, id);
CREATE INDEX table_entries_by_nick ON table_entries (table_id, nick, score DESC, id);

CREATE TABLE usage_stats (
  game_id INTEGER PRIMARY KEY,
  starts INTEGER NOT NULL DEFAULT 0,
  unique_starts INTEGER NOT NULL DEFAULT 0,
  likes INTEGER NOT NULL DEFAULT 0,
  last_like_nick TEXT NOT NULL DEFAULT '',
  x1 INTEGER NOT NULL DEFAULT 0,
  x2 INTEGER NOT NULL DEFAULT 0,
  x3 INTEGER NOT NULL DEFAULT 0,
  x4 INTEGER NOT NULL DEFAULT 0,
  x5 INTEGER NOT NULL DEFAULT 0,
  x6 INTEGER NOT NULL DEFAULT 0,
  x7 INTEGER NOT NULL DEFAULT 0,
  x8 INTEGER NOT NULL DEFAULT 0,
  x9 INTEGER NOT NULL DEFAULT 0,
  x10 INTEGER NOT NULL DEFAULT 0,
  x11 INTEGER NOT NULL DEFAULT 0,
  x12 INTEGER NOT NULL DEFAULT 0
);

-- Sessions by the hash of their token; the token itself is never stored.
CREATE TABLE sessions (
  token_hash BLOB PRIMARY KEY,
  account_id INTEGER NOT NULL REFERENCES accounts(id),
  expires_at INTEGER NOT NULL
);

-- One Kez credit per tournament entry written in a session.
CREATE TABLE credit_rights (
  entry_id INTEGER PRIMARY KEY REFERENCES table_entries(id),
  session_hash BLOB NOT NULL,
  amount INTEGER NOT NULL,
  used INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX credit_rights_by_session ON credit_rights (session_hash, used);

CREATE TABLE rate_buckets (
  kind TEXT NOT NULL,
  subject TEXT NOT NULL,
  tokens REAL NOT NULL,
  updated_at REAL NOT NULL,
  PRIMARY KEY (kind, subject)
);
