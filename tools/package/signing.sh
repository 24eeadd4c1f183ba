# shellcheck shell=bash
# Sourced by the release scripts: how a file gets its signature. The keys come from the
# environment only, never from the repository:
#   TESSARYN_SIGN_PKCS12, TESSARYN_SIGN_PASSWORD_FILE  Authenticode key and chain
#   TESSARYN_SIGN_TIMESTAMP_URL                        optional RFC 3161 time stamp server
#   TESSARYN_GPG_KEY                                   OpenPGP key in the caller's GNUPGHOME
# A rebuild that checks a published release sets TESSARYN_SIGNATURES_FROM to that
# release instead: each signature is then carried over from the published file onto
# the rebuilt one, so that a faithful rebuild ends with the published bytes.

authenticode_keys() { [ -n "${TESSARYN_SIGN_PKCS12:-}" ]; }
openpgp_key() { [ -n "${TESSARYN_GPG_KEY:-}" ]; }
carrying_over() { [ -n "${TESSARYN_SIGNATURES_FROM:-}" ]; }

# Fails early, before an hour of building, when a key is named but unusable.
check_signing_keys() {
  if authenticode_keys; then
    [ -r "$TESSARYN_SIGN_PKCS12" ] || { echo "signing: cannot read TESSARYN_SIGN_PKCS12" >&2; return 1; }
    [ -r "${TESSARYN_SIGN_PASSWORD_FILE:-}" ] ||
      { echo "signing: TESSARYN_SIGN_PASSWORD_FILE is not a readable file" >&2; return 1; }
  fi
  if openpgp_key; then
    gpg --batch --list-secret-keys "$TESSARYN_GPG_KEY" >/dev/null 2>&1 ||
      { echo "signing: no secret key $TESSARYN_GPG_KEY in ${GNUPGHOME:-~/.gnupg}" >&2; return 1; }
  fi
}

# Authenticode-signs the program or package FILE in place. In a rebuild, PUBLISHED is
# the published file whose signature goes onto FILE.
sign_authenticode() {
  local file=$1 published=${2:-} signed=$1.signed sig=$1.sig
  if authenticode_keys; then
    local timestamp=()
    [ -z "${TESSARYN_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$TESSARYN_SIGN_TIMESTAMP_URL")
    osslsigncode sign -pkcs12 "$TESSARYN_SIGN_PKCS12" -readpass "$TESSARYN_SIGN_PASSWORD_FILE" \
      -h sha256 -n Tessaryn "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null
  elif carrying_over && [ -n "$published" ] && [ -f "$published" ]; then
    case $published in
    *.sig) cp "$published" "$sig" ;;
    *) osslsigncode extract-signature -in "$published" -out "$sig" >/dev/null ;;
    esac
    # attach-signature checks the chain as well as the digest: the signature's own
    # certificates and the system's roots let it through for any CA, so what decides
    # is whether the signature fits the rebuilt bytes. Whom to trust is the user's call.
    { openssl pkcs7 -inform DER -in "$sig" -print_certs
      cat /etc/ssl/certs/ca-certificates.crt 2>/dev/null || true; } >"$sig.ca"
    if ! osslsigncode attach-signature -sigin "$sig" -CAfile "$sig.ca" -TSA-CAfile "$sig.ca" \
      -in "$file" -out "$signed" >/dev/null 2>&1; then
      echo "signing: the published signature does not fit the rebuilt $(basename "$file")" >&2
      rm -f "$sig" "$sig.ca" "$signed"
      return 0
    fi
    rm -f "$sig" "$sig.ca"
  else
    return 0
  fi
  mv "$signed" "$file"
}

# Writes FILE.asc (or OUT), an armoured detached OpenPGP signature of FILE. In a
# rebuild the published signature is taken as it is; verify-release.sh checks it
# against the rebuilt file.
sign_detached() {
  local file=$1 out=${2:-$1.asc}
  if openpgp_key; then
    gpg --batch --yes --local-user "$TESSARYN_GPG_KEY" --digest-algo SHA512 --armor \
      --detach-sign --output "$out" "$file"
  elif carrying_over && [ -f "$TESSARYN_SIGNATURES_FROM/${3:-$(basename "$out")}" ]; then
    cp "$TESSARYN_SIGNATURES_FROM/${3:-$(basename "$out")}" "$out"
  fi
}

# The text of clear-signed FILE, as it was before it was signed.
clearsigned_text() {
  awk '
    !started { if ($0 == "") started = 1; next }
    /^-----BEGIN PGP SIGNATURE-----$/ { exit }
    { sub(/^- /, ""); print }' "$1"
}

# Clear-signs FILE in place (or writes the signed text to OUT). In a rebuild the
# published clear-signed file replaces FILE when it signs exactly FILE's text.
sign_clear() {
  local file=$1 out=${2:-$1} published
  if openpgp_key; then
    gpg --batch --yes --local-user "$TESSARYN_GPG_KEY" --digest-algo SHA512 --clearsign \
      --output "$out.tmp" "$file"
    mv "$out.tmp" "$out"
  elif carrying_over; then
    published=$TESSARYN_SIGNATURES_FROM/${3:-$(basename "$out")}
    if [ -f "$published" ] && cmp -s <(clearsigned_text "$published") "$file"; then
      cp "$published" "$out"
    fi
  fi
}
