-- Sessions are found per member (to keep a bounded number) and by their end
-- (to remove the expired ones); limit buckets by their last use (to remove
-- those that have refilled).
CREATE INDEX sessions_by_account ON sessions (account_id, expires_at);
CREATE INDEX sessions_by_expiry ON sessions (expires_at);
CREATE INDEX rate_buckets_by_use ON rate_buckets (kind, updated_at);
