#!/usr/bin/env bash
# The installer as a Windows user meets it, in a fresh prefix, run silently and once by hand:
# signed, as a release signs it (here with a throw-away certificate), it installs silently and
# what it installs carries valid signatures; the installer, the uninstaller and the program show
# their product, publisher and version under Properties, Details; it installs the program for
# the current user with a Start menu entry, a start at login and an "Apps & features" entry; it
# starts the program unless told not to; installed again over the running copy, silently or by
# hand, it replaces that copy by exactly one new one and keeps the user's settings; and the
# uninstaller, run as "Apps & features" runs it, ends the program and removes everything the
# installer added except the settings. Prints the installer's size and how long the silent
# installations and the uninstallation take.
#
# ctest passes ORBISCAPE_SETUP, ORBISCAPE_ZIP, ORBISCAPE_VERSION, MAKENSIS and STRIP besides the
# usual.
set -euo pipefail
source "$(dirname "$0")/e2e_session.sh"
: "${ORBISCAPE_SETUP:?}" "${ORBISCAPE_ZIP:?}" "${ORBISCAPE_VERSION:?}"

readonly kUninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orbiscape'
readonly kRunKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# The installer's window (from the installation page on, its caption ends in a blank) and its
# button that goes on: Install, Next or Finish.
readonly kSetupCaption="Orbiscape Setup" kSetupLaterCaption="Orbiscape Setup " kGoOnButton=1
readonly kShippedTexts=(LICENSE.txt PICTURE-LICENSES.txt GPL-2.txt)
# An uninstaller copies itself to a temporary folder under this name, starts the copy and ends
# at once; the copy does the work.
readonly kUninstallerCopy=Un.exe

now() { date +%s.%N; }
seconds_since() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f", to - from }'; }

# setup_succeeds [--setup FILE] SWITCHES...: the installer (the build's unless named), silently
# with the given switches, ends with 0; how long it took goes to setup_seconds.
setup_seconds=()
setup_succeeds() {
    local started status=0 setup=$ORBISCAPE_SETUP
    if [ "${1:-}" = --setup ]; then
        setup=$2
        shift 2
    fi
    started=$(now)
    e2e_wine "$setup" /S "$@" >>"$E2E_DIR/setup.log" 2>&1 || status=$?
    setup_seconds+=("$(seconds_since "$started")")
    [ "$status" = 0 ]
}

# make_signed_setup FOLDER: the build's program packed as a release signs it, with a throw-away
# self-signed certificate whose certificate file is FOLDER/certificate.pem.
make_signed_setup() {
    local folder=$1
    mkdir -p "$folder"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Orbiscape test publisher" \
        -addext extendedKeyUsage=codeSigning -keyout "$folder/key.pem" -out "$folder/certificate.pem" 2>/dev/null &&
        openssl pkcs12 -export -inkey "$folder/key.pem" -in "$folder/certificate.pem" \
            -passout pass:throw-away -out "$folder/certificate.pfx" &&
        ORBISCAPE_SIGN_CERT="$folder/certificate.pfx" ORBISCAPE_SIGN_PASSWORD=throw-away \
            bash "$ORBISCAPE_SOURCE_DIR/packaging/make-packages.sh" "$ORBISCAPE_EXE" "$ORBISCAPE_VERSION" "$folder" \
            >>"$E2E_DIR/setup.log" 2>&1
}
# signed_by_test_certificate FILE: osslsigncode accepts the file's signature and its chain.
signed_by_test_certificate() {
    osslsigncode verify -CAfile "$signed/certificate.pem" -in "$1" >>"$E2E_DIR/signatures.log" 2>&1
}

# version_record FILE: the Windows file's version record as Properties, Details shows it.
version_record() { e2e_probe file-version "$(winepath -w "$1" 2>/dev/null)"; }
# record_names RECORD DESCRIPTION: the record gives the product, its publisher, its version and
# the file's description.
record_names() {
    [ "$1" = "FixedFileVersion $ORBISCAPE_VERSION.0
CompanyName: The Orbiscape authors
FileDescription: $2
FileVersion: $ORBISCAPE_VERSION
LegalCopyright: Copyright (c) The Orbiscape authors; MIT licence
ProductName: Orbiscape
ProductVersion: $ORBISCAPE_VERSION" ] || {
        echo "   the version record reads:" $1
        return 1
    }
}

# setup_page_offers CAPTION TEXT: the installer's page of that caption offers its go-on button
# with that text, enabled.
setup_page_offers() { [ "$(e2e_probe dialog-control "$1" $kGoOnButton)" = "1 0 -1 $2" ]; }
program_count_is() { [ "$(e2e_program_count)" = "$1" ]; }
program_pid_is_not() { local pid; pid=$(orbiscape_program_linux_pid) && [ "$pid" != "$1" ]; }
uninstaller_done() { [ "$(e2e_probe process-count "$kUninstallerCopy")" = 0 ]; }
# What is left of the install folder: nothing, or its name and what it still holds.
install_folder_left() { [ ! -e "$E2E_INSTALL" ] || echo "$install_folder:" $(ls -A "$E2E_INSTALL"); }
registry_key_exists() { timeout 60 wine reg query "$1" >/dev/null 2>&1; }
registry_value_exists() { timeout 60 wine reg query "$1" /v "$2" >/dev/null 2>&1; }
windows_variable() { timeout 60 wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

shipped_files_present() {
    local picture
    for picture in "$ORBISCAPE_SOURCE_DIR"/data/*.jpg; do
        cmp -s "$picture" "$E2E_INSTALL/$(basename "$picture")" || return 1
    done
    for file in orbiscape.exe uninstall.exe "${kShippedTexts[@]}"; do
        [ -s "$E2E_INSTALL/$file" ] || return 1
    done
}

# The zip holds exactly what the installer installs, in a folder "Orbiscape".
zip_matches_install() {
    diff <(python3 -m zipfile -l "$ORBISCAPE_ZIP" | awk 'NR > 1 && $1 !~ /\/$/ { print $1 }' | sort) \
        <(cd "$E2E_INSTALL" && ls -- *.jpg orbiscape.exe "${kShippedTexts[@]}" | sed 's|^|Orbiscape/|' | sort)
}

e2e_begin_session installer

local_app_data=$(windows_variable LOCALAPPDATA)
install_folder="$local_app_data\\Programs\\Orbiscape"
E2E_INSTALL=$(winepath -u "$install_folder" 2>/dev/null)
program="$install_folder\\orbiscape.exe"
shortcut=$(winepath -u "$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Orbiscape.lnk" 2>/dev/null)

# A signed installer, as a release makes it, installs silently what it signed.
signed="$E2E_DIR/signed"
e2e_require "a signed installer is made with a throw-away certificate" make_signed_setup "$signed"
signed_setup="$signed/$(basename "$ORBISCAPE_SETUP")"
e2e_check "osslsigncode accepts the signed installer's signature" signed_by_test_certificate "$signed_setup"
e2e_check "... and finds none on the build's own installer" e2e_not signed_by_test_certificate "$ORBISCAPE_SETUP"
e2e_require "the signed installer installs silently" setup_succeeds --setup "$signed_setup" /NOSTART
e2e_check "the program it installed is signed" signed_by_test_certificate "$E2E_INSTALL/orbiscape.exe"
e2e_check "... and so is its uninstaller" signed_by_test_certificate "$E2E_INSTALL/uninstall.exe"

# What Properties, Details shows of each file.
e2e_check "the installer names its product, publisher and version" \
    record_names "$(version_record "$ORBISCAPE_SETUP")" "Orbiscape $ORBISCAPE_VERSION Setup"
e2e_check "... and so does the uninstaller" \
    record_names "$(version_record "$E2E_INSTALL/uninstall.exe")" "Orbiscape $ORBISCAPE_VERSION Setup"
e2e_check "... and the program" record_names "$(version_record "$E2E_INSTALL/orbiscape.exe")" \
    "Orbiscape: the Earth on the desktop as it looks now"

# Installed again, unsigned, over the signed installation: a first installation that starts
# nothing.
e2e_require "the silent installation with /NOSTART succeeds" setup_succeeds /NOSTART
e2e_check "with /NOSTART the program is not started" program_count_is 0
e2e_check "the program, its 33 pictures and the licence notes are in %LOCALAPPDATA%\\Programs\\Orbiscape" \
    shipped_files_present
e2e_check "the zip holds the same files" zip_matches_install
e2e_check "the Start menu entry is there" test -f "$shortcut"
# A shortcut keeps its target and its working folder as text.
e2e_check "the Start menu entry starts the program" grep -qF "$program" <(strings "$shortcut")
e2e_check "the Start menu entry starts it in its own folder" grep -qF "$install_folder" <(strings -el "$shortcut")
e2e_check_equal "the program starts at login, with /install" "\"$program\" /install" \
    "$(e2e_reg_value "$kRunKey" Orbiscape)"
e2e_check_equal "Apps & features lists it by name" Orbiscape "$(e2e_reg_value "$kUninstallKey" DisplayName)"
e2e_check_equal "... with its version" "$ORBISCAPE_VERSION" "$(e2e_reg_value "$kUninstallKey" DisplayVersion)"
e2e_check_equal "... its publisher" "The Orbiscape authors" "$(e2e_reg_value "$kUninstallKey" Publisher)"
e2e_check_equal "... its icon" "$program,0" "$(e2e_reg_value "$kUninstallKey" DisplayIcon)"
e2e_check_equal "... its folder" "$install_folder" "$(e2e_reg_value "$kUninstallKey" InstallLocation)"
e2e_check_equal "... and its uninstaller" "\"$install_folder\\uninstall.exe\"" \
    "$(e2e_reg_value "$kUninstallKey" UninstallString)"
estimated_kib=$(($(e2e_reg_value "$kUninstallKey" EstimatedSize)))
installed_kib=$(du -sk "$E2E_INSTALL" | cut -f1)
e2e_check "... and its size ($estimated_kib KiB for $installed_kib KiB on disk)" \
    awk -v a="$estimated_kib" -v b="$installed_kib" 'BEGIN { exit !(a > 0.9 * b && a < 1.1 * b) }'

# Installed silently again, as a script does it, with nothing running: the program starts from
# its folder and draws there.
e2e_require "the silent installation succeeds" setup_succeeds
e2e_require "the program is started, and only once" e2e_wait 60 program_count_is 1
e2e_wait_for_first_frame
first_pid=$(orbiscape_program_linux_pid)
first_frame=$(orbiscape_frame_stamp "$E2E_INSTALL")

# Installed over the running copy: the copy ends and one new copy draws; the settings stay.
e2e_set_dword CloudFactor 25
e2e_require "the silent installation over the running copy succeeds" setup_succeeds /NOSTART
e2e_check "the running copy ends and a new one starts, even with /NOSTART" e2e_wait 60 program_pid_is_not "$first_pid"
e2e_check "the new copy draws a new frame" \
    e2e_wait 120 orbiscape_frame_shown "$ORBISCAPE_E2E_PROBE" "$E2E_INSTALL" "$first_frame"
e2e_check "exactly one copy runs" program_count_is 1
e2e_check "no second copy complained" e2e_not e2e_window_exists Orbiscape
e2e_check_equal "the settings are kept" 0x19 "$(e2e_reg_value "$E2E_SETTINGS_KEY" CloudFactor)"

# Installed over the running copy as a user does it: Install on the welcome page closes the
# copy, Finish with "Start Orbiscape now" ticked starts the new one.
second_pid=$(orbiscape_program_linux_pid)
e2e_wine "$ORBISCAPE_SETUP" >>"$E2E_DIR/setup.log" 2>&1 &
setup_pid=$!
e2e_track "$setup_pid"
e2e_check "the welcome page offers Install" e2e_wait 60 setup_page_offers "$kSetupCaption" "&Install"
e2e_screenshot setup-welcome
e2e_check "Install is pressed" e2e_probe dialog-click "$kSetupCaption" $kGoOnButton
e2e_check "the finish page offers Finish" e2e_wait 60 setup_page_offers "$kSetupLaterCaption" "&Finish"
e2e_screenshot setup-finish
e2e_check "Finish is pressed" e2e_probe dialog-click "$kSetupLaterCaption" $kGoOnButton
setup_ended() { ! kill -0 "$setup_pid" 2>/dev/null; }
e2e_require "the installer ends" e2e_wait 60 setup_ended
wait "$setup_pid" && status=0 || status=$?
e2e_check_equal "the installation by hand succeeds" 0 "$status"
e2e_check "the running copy is replaced by a new one" e2e_wait 60 program_pid_is_not "$second_pid"
e2e_check "exactly one copy runs" program_count_is 1

# The uninstaller as "Apps & features" runs it.
uninstaller=$(e2e_reg_value "$kUninstallKey" UninstallString)
started=$(now)
e2e_wine "${uninstaller//\"/}" /S >>"$E2E_DIR/setup.log" 2>&1 && uninstalled=0 || uninstalled=$?
e2e_check_equal "the silent uninstaller starts" 0 "$uninstalled"
e2e_require "the uninstaller finishes" e2e_wait 60 uninstaller_done
uninstall_seconds=$(seconds_since "$started")
e2e_check "the program has ended" program_count_is 0
e2e_check_equal "the install folder is gone" "" "$(install_folder_left)"
e2e_check "the Start menu entry is gone" test ! -e "$shortcut"
e2e_check "the start at login is gone" e2e_not registry_value_exists "$kRunKey" Orbiscape
e2e_check "the Apps & features entry is gone" e2e_not registry_key_exists "$kUninstallKey"
e2e_check_equal "the settings stay" 0x19 "$(e2e_reg_value "$E2E_SETTINGS_KEY" CloudFactor)"
e2e_check_equal "the wallpaper is taken away" "" "$(e2e_probe wallpaper)"

echo "   $(basename "$ORBISCAPE_SETUP"): $(stat -c %s "$ORBISCAPE_SETUP") bytes;" \
    "silent installations ${setup_seconds[*]} s (signed and fresh, unsigned over it, again, over the running copy);" \
    "silent uninstallation $uninstall_seconds s"
