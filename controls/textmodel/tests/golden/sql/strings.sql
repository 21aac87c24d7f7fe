INSERT INTO t VALUES ('it''s', "dq", 42);
