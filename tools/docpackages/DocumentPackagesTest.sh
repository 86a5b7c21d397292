#!/usr/bin/env bash
# docpackages on the document windows: two mid-term tables exported from one
# scratch program folder arrive in another under its own counter; a kind
# that is none and a missing package fail.
# Usage: DocumentPackagesTest.sh DOCPACKAGES PROGRAM_FOLDER SCRATCH
set -euo pipefail
docpackages=$1 program=$2 scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
cp -a "$program" "$scratch/from"
cp -a "$program" "$scratch/to"
sqlite3 "$scratch/from/voltrane.mdb" \
  "insert into KORIM_NWZQJCB(ZQJCBID,NXMLXID,VXMBH,XMMC) values(1,1,'ZQ-1','第一项'),(2,2,'ZQ-2','第二项')"
mkdir -p "$scratch/from/zqjcb/1"
echo x >"$scratch/from/zqjcb/1/1@报告.txt"
sqlite3 "$scratch/to/voltrane.mdb" \
  "insert into SYS_MaxID(TableName,CurrentMaxID) values('KORIM_NWZQJCB',7)"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Runs docpackages and checks its last line and exit status.
expect() {
  local want=$1; shift
  local out status=0
  out=$("$docpackages" "$@" 2>&1) || status=$?
  echo "$out"
  case $want in
    ok) [ "$status" = 0 ] && [ "$(tail -n1 <<<"$out")" = result=ok ] || fail "$* did not succeed" ;;
    failed) [ "$status" = 1 ] && [ "$(tail -n1 <<<"$out")" = result=failed ] || fail "$* did not fail" ;;
  esac
}

expect ok export-documents "$scratch/from" 1 "$scratch/all.zip"
expect ok import-documents "$scratch/to" 1 "$scratch/all.zip"
rows=$(sqlite3 "$scratch/to/voltrane.mdb" \
  "select ZQJCBID||','||NXMLXID||','||VXMBH from KORIM_NWZQJCB order by ZQJCBID" | tr '\n' ' ')
[ "$rows" = "7,7,ZQ-1 8,8,ZQ-2 " ] || fail "imported rows: $rows"
[ -f "$scratch/to/zqjcb/7/7@报告.txt" ] || fail "the attachment did not follow its document"

expect failed export-documents "$scratch/from" 4 "$scratch/bad.zip"
expect failed import-documents "$scratch/to" 1 "$scratch/missing.zip"
echo PASS
