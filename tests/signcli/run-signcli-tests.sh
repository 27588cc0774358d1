#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# tamarek-sign against a copy of the stand-in kit: signing, verifying and
# dumping with both tools, passphrases from files, the failures a CI job must
# see at once, and no passphrase anywhere but in the tools' input.
#   run-signcli-tests.sh TAMAREK_SIGN KIT_DIR
set -uo pipefail
program=$(realpath "$1") kit_source=$2
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d /tmp/tamarek-signcli.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$kit_source" "$work/kit"
# The tools see nothing but the shared folders.
cp "$work/kit/ca/ca-cert.pem" "$work/kit/workspace/"
export NEVERRAOS_KIT_CONFIG=$work/kit/kit.json
unset TAMAREK_PASSPHRASE_FILE
keys=$work/kit/workspace/keys
ca=$work/kit/workspace/ca-cert.pem
packages=$work/kit/workspace/packages
mkdir -p "$packages/ci" "$work/secrets"
chmod 700 "$work/secrets"
rpmsign_target=NeverraOS-5.0-aarch64
customer_target=NeverraOS-5.0-armv7hl
sentinel=Secret-sentinel-cli-5Rt8

failures=0 passes=0
pass() { passes=$((passes + 1)); echo "PASS: $*"; }
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }
check() { # DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Runs tamarek-sign without a terminal, as a CI job does; its status in $status,
# its output in $work/out and $work/err.
run() {
    status=0
    setsid timeout 120 "$program" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
}
show() { echo "--- exit $status; stdout:"; cat "$work/out"; echo "--- stderr:"; cat "$work/err"; }
expect_status() { # WANTED DESCRIPTION
    if [ "$status" = "$1" ]; then pass "$2"; else fail "$2 (exit $status, wanted $1)"; show; fi
}

umask 077
printf '%s\n' "$sentinel" >"$work/secrets/passphrase"
printf 'not-the-passphrase\n' >"$work/secrets/wrong"
for name in developer-key binaries-key; do
    openssl pkey -in "$keys/$name.pem" -aes256 -passout "file:$work/secrets/passphrase" \
        -out "$keys/encrypted-$name.pem"
done
for i in 1 2 3 4; do
    head -c 4096 /dev/urandom >"$packages/app-$i.rpm"
done
rpms=("$packages/app-1.rpm" "$packages/app-2.rpm")
customer_rpms=("$packages/app-3.rpm")

# The JSON report names each package, with its signatures' groups.
json_check() { # EXPECTED_GROUPS PACKAGE...
    local groups=$1; shift
    python3 - "$work/out" "$groups" "$@" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
groups = sys.argv[2].split(",")
wanted = sys.argv[3:]
packages = report
assert [p["path"] for p in packages] == wanted, [p["path"] for p in packages]
for p in packages:
    assert [s["group"] for s in p["signatures"]] == groups, p
    for s in p["signatures"]:
        assert s["subject"] and s["keyId"], s
    assert p.get("verified", True) is True, p
PY
}

# --- usage, and what is missing
run --help
expect_status 0 "--help"
check "--help documents the exit status" grep -q "^Exit status" "$work/out"
run sign --key "$keys/developer-key.pem" "${rpms[@]}"
expect_status 2 "sign without --target is a usage error"
run frobnicate
expect_status 2 "an unknown command is a usage error"
run dump --target NoSuchTarget "${rpms[@]}"
expect_status 4 "an unknown target"
run dump --target "$rpmsign_target" --kit-tool "$work/no-such-tool" "${rpms[@]}"
expect_status 4 "a kit tool that is not there"

# --- rpmsign-external: an encrypted developer key from its file, then the client pair
# Every process's command line and environment, as long as $work/scanning is
# there: the ones holding the sentinel into $work/leaks, a sign seen into
# $work/saw-tool.
python3 - "$work" <<'PY' &
import os, sys, time
work = sys.argv[1]
sentinel = open(work + "/secrets/passphrase", "rb").read().strip()
leaks, saw = set(), False
while not os.path.exists(work + "/scanning"):
    time.sleep(0.01)
while os.path.exists(work + "/scanning"):
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ")
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    environment = f.read()
            except OSError:
                environment = b""
        except OSError:
            continue
        if sentinel in command or sentinel in environment:
            leaks.add(f"{pid}: {command.decode(errors='replace')}")
        saw = saw or b"engine exec" in command and b"rpmsign-external sign" in command
with open(work + "/leaks", "w") as f:
    f.write("".join(line + "\n" for line in sorted(leaks)))
if saw:
    open(work + "/saw-tool", "w").close()
PY
scanner=$!
touch "$work/scanning"
run sign --target "$rpmsign_target" --key "$keys/encrypted-developer-key.pem" \
    --cert "$keys/developer-cert.pem" --client-key "$keys/client-key.pem" \
    --client-cert "$keys/client-cert.pem" --key-passphrase-file "$work/secrets/passphrase" \
    --json "${rpms[@]}"
rm -f "$work/scanning"
wait "$scanner"
expect_status 0 "rpmsign-external: signed with an encrypted key from its file"
check "rpmsign-external: the sign report parses and names each package" \
    json_check developer,client "${rpms[@]}"
check "the step's lines on standard error with --json" \
    grep -q "Package sign completed successfully." "$work/err"
check "the scan saw the tool run" test -e "$work/saw-tool"
if [ -s "$work/leaks" ]; then fail "the passphrase on a command line or in an environment"; cat "$work/leaks"
else pass "no passphrase on any command line or in any environment"; fi
check "no passphrase in the output" bash -c "! grep -qF '$sentinel' '$work/out' '$work/err'"
check "no passphrase in the kit's folders" \
    bash -c "! grep -rqaF '$sentinel' '$work/kit'"

run verify --target "$rpmsign_target" --ca "$ca" --json "${rpms[@]}"
expect_status 0 "rpmsign-external: verified"
check "rpmsign-external: the verify report" json_check developer,client "${rpms[@]}"
run dump --target "$rpmsign_target" "${rpms[@]}"
expect_status 0 "rpmsign-external: dumped"
check "the dump lists the signatures" grep -q "^Subject: .*Tamarek Client" "$work/out"
run remove --target "$rpmsign_target" "${rpms[0]}"
expect_status 0 "rpmsign-external: signatures removed"
run verify --target "$rpmsign_target" --ca "$ca" --json "${rpms[0]}"
expect_status 1 "an unsigned package does not verify"
check "the report says why" python3 -c "
import json, sys
p = json.load(open('$work/out'))[0]
assert p['verified'] is False and p['reason'], p"

# --- customer-sign: an encrypted binaries key, asked for by the tool itself
run sign --target "$customer_target" --key "$keys/developer-key.pem" \
    --cert "$keys/developer-cert.pem" --client-cert "$keys/developer-client-cert.pem" \
    --binaries-key "$keys/encrypted-binaries-key.pem" \
    --binaries-key-passphrase-file "$work/secrets/passphrase" --json "${customer_rpms[@]}"
expect_status 0 "customer-sign: signed with an encrypted binaries key from its file"
check "customer-sign: the sign report" json_check developer,client "${customer_rpms[@]}"
run verify --target "$customer_target" --ca "$ca" "${customer_rpms[@]}"
expect_status 0 "customer-sign: verified with vyxcert-cli"
run dump --target "$customer_target" --json "${customer_rpms[@]}"
expect_status 0 "customer-sign: dumped with vyxcert-cli"
check "customer-sign: the dump report" json_check developer,client "${customer_rpms[@]}"
check "no passphrase in the kit's folders" \
    bash -c "! grep -rqaF '$sentinel' '$work/kit'"

# --- passphrases not given, wrong or badly kept
start=$(date +%s%N)
run sign --target "$rpmsign_target" --key "$keys/encrypted-developer-key.pem" \
    --cert "$keys/developer-cert.pem" "${rpms[@]}"
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
expect_status 3 "no passphrase source and no terminal"
check "it names the key and the option" \
    grep -q "encrypted-developer-key.pem needs a passphrase: give --key-passphrase-file" "$work/err"
echo "INFO: no source, no terminal: ended after ${elapsed_ms} ms"

run sign --target "$rpmsign_target" --key "$keys/encrypted-developer-key.pem" \
    --cert "$keys/developer-cert.pem" --passphrase-file "$work/secrets/wrong" "${rpms[@]}"
expect_status 3 "rpmsign-external: a wrong passphrase"
check "rpmsign-external: it says so" \
    grep -q "wrong passphrase for .*encrypted-developer-key.pem" "$work/err"
check "rpmsign-external: the tool ran once" \
    test "$(grep -c '^\[\$\] .*rpmsign-external sign' "$work/err")" = 1
run sign --target "$customer_target" --key "$keys/developer-key.pem" \
    --cert "$keys/developer-cert.pem" --binaries-key "$keys/encrypted-binaries-key.pem" \
    --binaries-key-passphrase-file "$work/secrets/wrong" "${customer_rpms[@]}"
expect_status 3 "customer-sign: a wrong passphrase"
check "customer-sign: it says so" \
    grep -q "wrong passphrase for .*encrypted-binaries-key.pem" "$work/err"
check "customer-sign: the tool ran once" \
    test "$(grep -c '^\[\$\] .*customer-sign' "$work/err")" = 1

TAMAREK_PASSPHRASE_FILE=$work/secrets/passphrase run sign --target "$rpmsign_target" \
    --key "$keys/encrypted-developer-key.pem" --cert "$keys/developer-cert.pem" "${rpms[@]}"
expect_status 0 "the passphrase file from the environment"

exec 7<"$work/secrets/passphrase"
run sign --target "$rpmsign_target" --key "$keys/encrypted-developer-key.pem" \
    --cert "$keys/developer-cert.pem" --passphrase-fd 7 "${rpms[@]}"
exec 7<&-
expect_status 0 "the passphrase from a file descriptor"

cp "$work/secrets/passphrase" "$work/secrets/shared"
chmod 644 "$work/secrets/shared"
run sign --target "$rpmsign_target" --key "$keys/encrypted-developer-key.pem" \
    --cert "$keys/developer-cert.pem" --passphrase-file "$work/secrets/shared" "${rpms[@]}"
expect_status 3 "a passphrase file that others may read is refused"
check "it says why" grep -q "chmod 600" "$work/err"

# --- no source but a terminal: asked there once, without echo
# TYPED is written when the prompt shows; prints the exit status, then
# "echo-off" when the terminal did not echo, then what the terminal showed.
on_terminal() { # TYPED ARGUMENTS...
    python3 - "$program" "$@" <<'PY'
import os, pty, select, sys, termios, time
program, typed, arguments = sys.argv[1], sys.argv[2], sys.argv[3:]
pid, fd = pty.fork()
if pid == 0:
    os.execv(program, [program] + arguments)
shown, sent, echo_off, deadline = b"", False, False, time.monotonic() + 120
while time.monotonic() < deadline:
    ready, _, _ = select.select([fd], [], [], 1)
    if not ready:
        continue
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    shown += chunk
    if not sent and b"pass phrase" in shown.lower():
        echo_off = not termios.tcgetattr(fd)[3] & termios.ECHO
        os.write(fd, typed.encode() + b"\n")
        sent = True
_, status = os.waitpid(pid, 0)
print(os.waitstatus_to_exitcode(status))
print("echo-off" if echo_off else "echo-on")
sys.stdout.write(shown.decode(errors="replace"))
PY
}
tty_out=$(on_terminal "$sentinel" sign --target "$rpmsign_target" \
    --key "$keys/encrypted-developer-key.pem" --cert "$keys/developer-cert.pem" "${rpms[@]}")
check "a terminal: asked there and signed" test "$(head -n 1 <<<"$tty_out")" = 0
check "a terminal: typed without echo" test "$(sed -n 2p <<<"$tty_out")" = echo-off
check "a terminal: the passphrase is not shown" bash -c "! grep -qF '$sentinel' <<<\"\$1\"" - \
    "$tty_out"
tty_out=$(on_terminal not-the-passphrase sign --target "$rpmsign_target" \
    --key "$keys/encrypted-developer-key.pem" --cert "$keys/developer-cert.pem" "${rpms[@]}")
check "a terminal: a wrong answer exits 3" test "$(head -n 1 <<<"$tty_out")" = 3
check "a terminal: asked once" test "$(grep -ci 'pass phrase' <<<"$tty_out")" = 1

# --- the engine by name
run health --engine "Neverra OS Build Engine" --target "$rpmsign_target" \
    --key "$keys/developer-key.pem" --cert "$keys/developer-cert.pem"
expect_status 0 "the engine named by --engine"
run health --engine "No Such Engine" --target "$rpmsign_target" \
    --key "$keys/developer-key.pem" --cert "$keys/developer-cert.pem"
expect_status 4 "an engine the kit does not have"
check "it names the engine" grep -q 'no build engine named "No Such Engine"' "$work/err"

# --- defaults from the IDE's settings, and the certificate's health
cat >"$work/QtCreator.ini" <<INI
[General]
Tamarek.GlobalSignKey=$keys/encrypted-developer-key.pem
Tamarek.GlobalSignCert=$keys/developer-cert.pem
INI
run sign --target "$rpmsign_target" --settings "$work/QtCreator.ini" \
    --key-passphrase-file "$work/secrets/passphrase" "$packages/app-4.rpm"
expect_status 0 "signed with the settings file's global pair, its key's passphrase from a file"
check "the note of a developer signature alone" grep -q "signed with developer key" "$work/err"
run health --target "$rpmsign_target" --key "$keys/developer-key.pem" \
    --cert "$keys/developer-cert.pem"
expect_status 0 "a healthy pair"
check "subject, issuer and key match" bash -c "grep -q '^Subject: ' '$work/out' &&
    grep -q '^Issuer: ' '$work/out' && grep -q 'The key belongs to the certificate.' '$work/out'"
run health --target "$rpmsign_target" --key "$keys/client-key.pem" \
    --cert "$keys/developer-cert.pem"
expect_status 1 "a key that is not the certificate's"
run health --target "$rpmsign_target" --key "$keys/developer-key.pem" \
    --cert "$keys/developer-cert.pem" --warn-days 100000
expect_status 1 "a certificate expiring within --warn-days"

# --- a request with a new encrypted key
run request --target "$rpmsign_target" --key "$work/kit/workspace/new-key.pem" \
    --company "Tamarek CI" --out "$work/kit/workspace/new.csr" --encrypt \
    --key-passphrase-file "$work/secrets/passphrase"
expect_status 0 "a request with a new encrypted key"
check "the request is written" grep -q "BEGIN CERTIFICATE REQUEST" "$work/kit/workspace/new.csr"
check "the key is encrypted" grep -q "ENCRYPTED" "$work/kit/workspace/new-key.pem"

# --- the CI job's script, with a secret file as a CI may leave it
for i in 1 2; do head -c 4096 /dev/urandom >"$packages/ci/app-$i.rpm"; done
cp "$work/secrets/passphrase" "$work/secrets/ci-file"
chmod 644 "$work/secrets/ci-file"
status=0
(cd "$work" && PATH=$(dirname "$program"):$PATH TAMAREK_TARGET=$rpmsign_target \
    TAMAREK_KEY=$keys/encrypted-developer-key.pem TAMAREK_CERT=$keys/developer-cert.pem \
    TAMAREK_CLIENT_KEY=$keys/client-key.pem TAMAREK_CLIENT_CERT=$keys/client-cert.pem \
    TAMAREK_CA=$ca TAMAREK_PASSPHRASE_FILE=$work/secrets/ci-file \
    setsid timeout 300 bash "$here/../../scripts/ci-sign.sh" "$packages/ci" \
    </dev/null >"$work/out" 2>"$work/err") || status=$?
expect_status 0 "the CI script signs and verifies"
cp "$work/signing-report.json" "$work/out" 2>/dev/null
check "the CI script's report" json_check developer,client "$packages/ci/app-1.rpm" \
    "$packages/ci/app-2.rpm"

echo "Totals: $passes passed, $failures failed"
[ $failures = 0 ]
