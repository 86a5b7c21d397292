#!/usr/bin/env bash
# docpackages against hostile packages, as a user would meet them: ids that
# name folders (NULL, empty, '..', 'temp'), a BLOB id, a 5 MB title, a
# recursive view, a transfer file that is no database, entries that climb
# out or do not unpack, a zip bomb, a package of another kind. Each import
# must fail, say why in Chinese, and leave every file and row of the
# receiving installation exactly as it was.
# Usage: HostilePackagesTest.sh DOCPACKAGES PROGRAM_FOLDER SCRATCH
set -euo pipefail
docpackages=$1 program=$2 scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch/packages"
cp -a "$program" "$scratch/to"
rm "$scratch/to/corvanta" # the imports need the folder, not the program
export CORVANTA_HOME="$scratch/home" QT_QPA_PLATFORM=offscreen
user=$scratch/to/user/u001
mkdir -p "$user"
cp "$scratch/to/maindata.mdb" "$user/maindata.mdb"
sqlite3 "$user/maindata.mdb" "insert into pass(username,passone) values('u001','x');
  insert into KJJHSB(KJJHSBID,XMMC) values(2026120001,'已有项目')"
mkdir -p "$user/2026120001" && echo 'task book' > "$user/2026120001/2026120001@科技项目设计书.doc"
sqlite3 "$scratch/to/voltrane.mdb" "insert into SYS_MaxID(TableName,CurrentMaxID) values('KORIM_YSSQNB',7)"

python3 - "$program" "$scratch/packages" <<'PY'
import os, shutil, sqlite3, sys, tempfile, zipfile
program, out = sys.argv[1:]
work = tempfile.mkdtemp()

def transfer(template, sql):
    path = os.path.join(work, template)
    shutil.copy(os.path.join(program, template), path)
    db = sqlite3.connect(path)
    db.executescript(sql)
    db.commit()
    db.close()
    with open(path, 'rb') as f:
        return f.read()

def package(name, members):
    with zipfile.ZipFile(os.path.join(out, name + '.zip'), 'w', zipfile.ZIP_DEFLATED) as z:
        for entry, data in members:
            z.writestr(zipfile.ZipInfo(entry, (1980, 1, 1, 0, 0, 0)), data, zipfile.ZIP_DEFLATED)

task = '@科技项目设计书.doc'
def application(name, id_sql, entry_id, extra=''):
    rows = transfer('iodata.mdb', f"insert into KJJHSB(KJJHSBID, XMMC) values({id_sql}, '外来'); {extra}")
    package('app-' + name, [('iodata.mdb', rows), (entry_id + task, b'task book')])

application('null-id', 'null', '')
application('empty-id', "''", '')
application('dotdot-id', "'..'", '..')
application('temp-id', "'temp'", 'temp')
application('blob-id', "x'32303236313130303031'", '2026110001')
application('huge-title', '2026110001', '2026110001', "update KJJHSB set XMMC = printf('%.*c', 5000000, 'x')")
application('recursive-view', '2026110001', '2026110001',
            'create table t as select * from KJJHSB; drop table KJJHSB; create view KJJHSB as '
            'with recursive n(i) as (select 1 union all select i + 1 from n) select t.* from t, n')
rows = transfer('iodata.mdb', "insert into KJJHSB(KJJHSBID, XMMC) values(2026110001, '外来')")
package('app-climbing-entry', [('iodata.mdb', rows), ('2026110001' + task, b'x'), ('../2026110001@x.txt', b'x')])
package('app-no-database', [('iodata.mdb', b'not a database'), ('2026110001' + task, b'x')])
package('app-zip-bomb', [('iodata.mdb', rows), ('2026110001' + task, b'x'), ('2026110001@zero.dat', bytes(100 << 20))])
with open(os.path.join(out, 'app-truncated.zip'), 'wb') as f:
    with open(os.path.join(out, 'app-climbing-entry.zip'), 'rb') as whole:
        data = whole.read()
    f.write(data[:len(data) // 2])

def documents(name, sql):
    package('doc-' + name, [('iovoltrane.mdb', transfer('iovoltrane.mdb', sql)), ('1@报告.doc', b'report')])

documents('null-key', "insert into KORIM_YSSQNB(NXMLXID, XMMC) values(null, '外来')")
documents('fractional-key', "insert into KORIM_YSSQNB(NXMLXID, XMMC) values(1.5, '外来')")
documents('recursive-view', "insert into KORIM_YSSQNB(NXMLXID, XMMC) values(1, '外来'); drop table KORIM_SQJJZBNB; "
          "create view KORIM_SQJJZBNB as with recursive n(JJZBID, NXMLXID) as (select 1, 1 union all "
          "select JJZBID + 1, 1 from n) select * from n")
documents('another-kind', "insert into KORIM_NWZQJCB(ZQJCBID, NXMLXID, XMMC) values(1, 1, '外来')")
shutil.rmtree(work)
PY

# Every file's bytes, every folder and every table's rows of the receiving
# installation.
fingerprint() {
  python3 - "$scratch/to" <<'PY'
import hashlib, os, sqlite3, sys
root = sys.argv[1]
for folder, folders, files in sorted(os.walk(root)):
    print(os.path.relpath(folder, root) + '/')
    for name in sorted(files):
        path = os.path.join(folder, name)
        data = open(path, 'rb').read()
        print(os.path.relpath(path, root), hashlib.sha1(data).hexdigest())
        if data.startswith(b'SQLite format 3\0'):
            db = sqlite3.connect(f'file:{path}?mode=ro', uri=True)
            print(hashlib.sha1('\n'.join(db.iterdump()).encode()).hexdigest())
            db.close()
PY
}
fail() { echo "FAIL: $*" >&2; exit 1; }

before=$(fingerprint)
for package in "$scratch"/packages/*.zip; do
  name=$(basename "$package" .zip)
  case $name in
    app-*) args=(import-applications "$scratch/to" u001 "$package") ;;
    doc-*) args=(import-documents "$scratch/to" 2 "$package") ;;
  esac
  status=0
  out=$(timeout 120 "$docpackages" "${args[@]}" 2>&1) || status=$?
  echo "$name: $(grep '^box' <<<"$out" | tail -n1)"
  [ "$status" = 1 ] && [ "$(tail -n1 <<<"$out")" = result=failed ] || fail "$name was not refused: $out"
  grep -q '^box icon=error' <<<"$out" || fail "$name was refused without an error box"
  # English words or paths in a box are a raw message that reached the user.
  if grep '^box' <<<"$out" | sed 's/^.* text=//' | grep -qE '[a-z]{3,}|/'; then fail "$name told the user raw text: $out"; fi
  [ "$(fingerprint)" = "$before" ] || fail "$name changed the installation"
done
echo PASS
