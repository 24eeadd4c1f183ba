# shellcheck shell=bash
# Sourced by the release tests: makes throwaway keys in directory $1 and exports them the
# way a release manager's environment names real ones: a CA, a code-signing certificate
# it issued (PKCS#12 with the chain, its password in a file), and an OpenPGP key in a
# GNUPGHOME of its own. Nothing of them outlives the test.
make_throwaway_keys() {
  local dir=$1
  mkdir -p "$dir"
  (
    cd "$dir" || exit
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
      -subj "/CN=Tessaryn throwaway CA" -addext basicConstraints=critical,CA:TRUE \
      -addext keyUsage=critical,keyCertSign,cRLSign
    openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
      -subj "/CN=Tessaryn throwaway signer"
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
      -extfile signer.ext -out signer.pem
    head -c 18 /dev/urandom | base64 >password
    openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem \
      -passout file:password -out signer.p12
  ) >"$dir/openssl.log" 2>&1
  export TESSARYN_SIGN_PKCS12=$dir/signer.p12 TESSARYN_SIGN_PASSWORD_FILE=$dir/password
  export GNUPGHOME=$dir/gnupg
  mkdir -m 700 "$GNUPGHOME"
  TESSARYN_GPG_KEY=$(make_throwaway_openpgp_key "Tessaryn throwaway <release@tessaryn.invalid>")
  export TESSARYN_GPG_KEY
}

# Makes an OpenPGP signing key for user id $1 in $GNUPGHOME; prints its fingerprint.
make_throwaway_openpgp_key() {
  gpg --batch --quiet --passphrase "" --quick-gen-key "$1" rsa2048 sign 1d 2>/dev/null
  gpg --batch --with-colons --list-secret-keys "$1" 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }'
}

# Ends the agent gpg started for the throwaway GNUPGHOME.
drop_throwaway_keys() { gpgconf --kill gpg-agent 2>/dev/null || true; }
