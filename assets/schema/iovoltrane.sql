-- The empty transfer database of the mid-term and acceptance documents: the
-- twelve document tables exactly as the shared database holds them, without
-- keys, since an import renumbers its rows in place before copying them.

.read korim_tables.sql
