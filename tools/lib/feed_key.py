#!/usr/bin/env python3
"""Feed keys and signatures, through the openssl command.

    feed_key.py new KEY.pem          makes an ECDSA P-256 key pair (PEM, private)
    feed_key.py public KEY.pem       prints the public key: 128 hex digits, X then Y
    feed_key.py private KEY.pem      prints the private scalar d: 64 hex digits
    feed_key.py sign KEY.pem FILE    prints the signature of FILE's exact bytes:
                                     128 hex digits, r then s (the form CNG verifies)
    feed_key.py verify KEY.pem FILE  checks FILE.sig against FILE with the key's
                                     public half; exit code 0 when it holds

The signature is ECDSA over the SHA-256 of the bytes; openssl writes it as DER
(a SEQUENCE of two INTEGERs), which this turns into the raw 32-byte r and s.
"""
import os
import subprocess
import sys
import tempfile


def openssl(*args, data=None):
    return subprocess.run(["openssl"] + list(args), input=data, capture_output=True, check=True).stdout


def new_key(path):
    # Only the owner may read a private key.
    old = os.umask(0o077)
    try:
        openssl("ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", path)
    finally:
        os.umask(old)


def der_ints(der):
    """The INTEGERs of a DER SEQUENCE, as bytes without sign padding."""
    if der[0] != 0x30:
        raise ValueError("not a DER sequence")
    i = 2 + (der[1] & 0x7F if der[1] & 0x80 else 0)
    out = []
    while i < len(der):
        if der[i] != 0x02:
            raise ValueError("not a DER integer")
        length = der[i + 1]
        out.append(der[i + 2:i + 2 + length].lstrip(b"\0"))
        i += 2 + length
    return out


def public_hex(path):
    # The uncompressed point ends the DER public key: 0x04, X, Y.
    der = openssl("ec", "-in", path, "-pubout", "-outform", "DER")
    return der[-64:].hex()


def private_hex(path):
    # RFC 5915: SEQUENCE { INTEGER 1, OCTET STRING d, ... }; d is 32 bytes for P-256.
    der = openssl("ec", "-in", path, "-outform", "DER")
    if der[5:7] != b"\x04\x20":
        raise ValueError("not a P-256 private key")
    return der[7:39].hex()


def sign_hex(path, data):
    r, s = der_ints(openssl("dgst", "-sha256", "-sign", path, data=data))
    return (r.rjust(32, b"\0") + s.rjust(32, b"\0")).hex()


def der_int(value):
    value = value.lstrip(b"\0") or b"\0"
    if value[0] & 0x80:
        value = b"\0" + value
    return b"\x02" + bytes([len(value)]) + value


def verify(path, data, signature_hex):
    raw = bytes.fromhex(signature_hex.strip())
    if len(raw) != 64:
        return False
    body = der_int(raw[:32]) + der_int(raw[32:])
    der = b"\x30" + bytes([len(body)]) + body
    public = openssl("ec", "-in", path, "-pubout")
    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(tmp, "public.pem"), "wb") as f:
            f.write(public)
        with open(os.path.join(tmp, "signature.der"), "wb") as f:
            f.write(der)
        result = subprocess.run(
            ["openssl", "dgst", "-sha256", "-verify", os.path.join(tmp, "public.pem"),
             "-signature", os.path.join(tmp, "signature.der")], input=data, capture_output=True)
    return result.returncode == 0


def main(argv):
    if len(argv) == 3 and argv[1] == "new":
        new_key(argv[2])
    elif len(argv) == 3 and argv[1] == "public":
        print(public_hex(argv[2]))
    elif len(argv) == 3 and argv[1] == "private":
        print(private_hex(argv[2]))
    elif len(argv) == 4 and argv[1] == "sign":
        with open(argv[3], "rb") as f:
            print(sign_hex(argv[2], f.read()))
    elif len(argv) == 4 and argv[1] == "verify":
        with open(argv[3], "rb") as f, open(argv[3] + ".sig") as s:
            return 0 if verify(argv[2], f.read(), s.read()) else 1
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
