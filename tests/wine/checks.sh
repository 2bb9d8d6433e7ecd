# Shared by the Wine test scripts (sourced): byte dumps, checks that count failures, and where
# LPT1 leads. Needs $here (this folder) and $prefix (the Wine prefix).
failures=0

hex() { # FILE: its bytes as one run of hexadecimal digits
    od -An -tx1 -v "$1" | tr -d ' \n'
}

check() { # WHAT ACTUAL EXPECTED
    if [ "$2" = "$3" ]; then
        echo "ok   $1: $2"
    else
        echo "FAIL $1: got '$2', expected '$3'"
        failures=$((failures + 1))
    fi
}

# Links LPT1 to TARGET, or leaves it unmapped for "". The server starts first: a fresh one
# unlinks the ports Wine's mount manager made.
lpt1_to() { # TARGET
    "$here/wine-run" "$prefix" --start
    rm -f "$prefix/dosdevices/lpt1"
    [ -z "$1" ] || ln -s "$1" "$prefix/dosdevices/lpt1"
}
