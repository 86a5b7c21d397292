#!/usr/bin/env bash
# gridfilter over a four-row table: blocks that filter by a number and by a
# quoted text, each with two layouts that must hold the same bytes, damaged
# blocks (exit 1, nothing else printed) and a block the rows cannot be
# compared with (exit 2 after the texts).
# Usage: GridFilterTest.sh GRIDFILTER SCRATCH
set -euo pipefail
gridfilter=$1 scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"
db=$scratch/p.mdb
sqlite3 "$db" "create table P (ID integer primary key, Name varchar(20), Qty integer);
  insert into P values (1, 'Ann', 5), (2, 'O''Brien', 5), (3, null, 7), (4, 'Bob', 9);"

fail() { echo "FAIL: $*" >&2; exit 1; }
block() { xxd -r -p <<<"$2" >"$scratch/$1"; }
# Runs gridfilter on a block and compares its exit status and its output
# but for the layout lines (left in $out).
expect() {
  local name=$1 status=$2 want=$3 got=0
  out=$(timeout 20 "$gridfilter" "$db" P "$scratch/$name" 2>/dev/null) || got=$?
  echo "$out"
  [ "$got" = "$status" ] || fail "$name: exit $got, not $status"
  [ "$(grep -v '^layout[12]=' <<<"$out")" = "$want" ] || fail "$name: output differs from: $want"
}
# The layout captured from the second grid equals the first, and both hold
# the criteria block.
layouts_agree() {
  local name=$1 criteria=$2 layout1 layout2
  layout1=$(sed -n 's/^layout1=//p' <<<"$out")
  layout2=$(sed -n 's/^layout2=//p' <<<"$out")
  [ -n "$layout1" ] && [ "$layout1" = "$layout2" ] || fail "$name: the two layouts differ"
  [[ $layout1 == *"$criteria"* ]] || fail "$name: the layout lacks the criteria block"
}

qty5=010000000000010000003503000000517479010205
block qty5 $qty5
expect qty5 0 "criteria=$qty5
display=(Qty = 5)
filter=(Qty = 5)
nodes=2
rows=2"
layouts_agree qty5 $qty5

obrien=010000000000070000004f27427269656e040000004e616d650106074f27427269656e
block obrien "$obrien"
expect obrien 0 "criteria=$obrien
display=(Name = O'Brien)
filter=(Name = 'O''Brien')
nodes=1
rows=1"
layouts_agree obrien $obrien

for damaged in "count-past-the-end 05000000" "huge-count ffffff7f" "truncated ${qty5:0:30}" \
               "unknown-tag ${qty5:0:38}63"; do
  name=${damaged%% *}
  block "$name" "${damaged#* }"
  expect "$name" 1 "error=Stream read error"
done

# A field the table lacks: no row passes, and the dataset refuses the text.
nope=0100000000000100000035040000004e6f7065010205
block nope "$nope"
status=0
out=$(timeout 20 "$gridfilter" "$db" P "$scratch/nope" 2>/dev/null) || status=$?
echo "$out"
[ "$status" = 2 ] || fail "nope: exit $status, not 2"
[ "$(head -n4 <<<"$out")" = "criteria=$nope
display=( = 5)
filter=( = 5)
nodes=0" ] || fail "nope: the lines before the failure differ"
[ "$(tail -n1 <<<"$out" | cut -c1-6)" = "error=" ] || fail "nope: no error line"
echo PASS
