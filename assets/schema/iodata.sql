-- The empty transfer database of project applications: the applications table
-- exactly as the user database holds it, without keys.

.read kjjhsb_table.sql
