#!/usr/bin/env bash
# The Windows program end to end under Wine, on a virtual X screen. The build given may be
# the 32-bit one or the 64-bit stand-in (for a machine that runs no 32-bit code): the
# executables say which, and the Wine prefix, loader and driver follow them.
#   1. driver.exe (built here) runs tessarine.exe as a user would and checks what it shows
#      and writes;
#   2. handles_check.exe (built here) checks that the 32-bit values by which the program
#      names its windows, menus, bitmaps and fonts bring the same handles back;
#   3. tessarine-cards.exe and the Linux tessarine-cards make the same card from the same
#      clock reading, and a dark card of one code, and compare_cards.py checks the two
#      files are the same bytes, glyph pixels aside, and each digit in the same place;
#   4. tessarine-cards.exe's codes, lists and win checks agree with the Linux program's,
#      its PDF sheets read back by poppler and zbar (tests/e2e/check_sheets.py) show
#      every card of their codes, and its PNG cards are the bytes the Linux PNG writer
#      makes of the same pixels (png_of_bitmap, built here);
#   5. bingo_driver.exe (built here) plays a game in tessarine-bingo.exe, kills it and
#      continues it, with the players' page turned on meanwhile and fetched by curl from
#      here (page_checks: the page, its state, its events, hostile requests, its QR codes
#      read by zbarimg from the screen); the record it saved is read back by pdftotext,
#      and its calls and prizes are those of the record the Linux core makes of the same list and events
#      (bingo_record_of_events, from the Linux build), and the Linux tessarine-cards
#      --verify-draw finds its drawn balls to be those of its key; then a night of three
#      games, killed during the second game's sales and continued, its record reconciled by
#      the driver and read back by pdftotext.
# One private Wine prefix per run, made once. Prints one line per check and exits
# non-zero on any failure.
#
#   tests/e2e/win32/run.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
clock=12:34:56.789

# The Wine of the executables' word size: WINEARCH and WINELOADER for the prefix, and
# $wine for the loader, so that a 64-bit run never falls to the 32-bit loader that
# /usr/bin/wine prefers where wine32 is installed too.
use_wine_for() {  # use_wine_for 32|64
  if [ "$1" = 64 ]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    wine=/usr/lib/wine/wine64
  else
    export WINEARCH=win32
    unset WINELOADER
    wine=wine
  fi
}

# 32 or 64: the word size of a PE executable, from its header.
pe_bits() {
  case "$(objdump -f "$1" 2>/dev/null)" in
    *pei-x86-64*) echo 64 ;;
    *pei-i386*) echo 32 ;;
    *) return 1 ;;
  esac
}

# ---- Inside xvfb-run: everything that needs Wine --------------------------------------
on_screen() {
  local work=$1 linux_cli=$2
  export WINEPREFIX=$work/prefix WINEDEBUG=-all
  # No Mono or Gecko: nothing here needs them, and fetching them would fail anyway.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local start=$SECONDS
  "$wine" wineboot -i >"$work/wineboot.log" 2>&1
  wineserver -w
  # Wine draws its own caption and frame (there is no window manager), and Debian's Wine
  # does not install its Tahoma-metric faces into a new prefix's font folder.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  # A copy of the program that believes it runs on Windows 98.
  "$wine" reg add 'HKCU\Software\Wine\AppDefaults\tessarine-win98.exe' /v Version /t REG_SZ \
    /d win98 /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
    echo "aviso: sin /usr/share/wine/fonts/tahoma*.ttf (paquete fonts-wine)"
  echo "# prefijo de Wine listo en $((SECONDS - start)) s"

  local status=0
  start=$SECONDS
  echo "# tessarine.exe"
  (cd "$work" && timeout 600 "$wine" driver.exe 'app\tessarine.exe' cwd 'app\tessarine-win98.exe') 2>&1 |
    tr -d '\r' | tee "$work/driver.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  echo "# driver: $((SECONDS - start)) s"

  echo "# los 32 bits con que el programa nombra ventanas, menús, mapas de bits y fuentes"
  (cd "$work" && timeout 120 "$wine" handles_check.exe) 2>&1 | tr -d '\r' |
    tee "$work/handles.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1

  start=$SECONDS
  echo "# tessarine-cards.exe --time $clock frente a tessarine-cards de Linux"
  mkdir -p "$work/cards"
  if ! (cd "$work/cards" && timeout 120 "$wine" ../app/tessarine-cards.exe --time "$clock" \
          --out windows >/dev/null 2>&1); then
    echo "FALLO - tessarine-cards.exe --time $clock --out windows"
    status=1
  fi
  if ! "$linux_cli" --time "$clock" --out "$work/cards/linux" >/dev/null; then
    echo "FALLO - tessarine-cards --time $clock --out linux"
    status=1
  fi
  python3 "$here/compare_cards.py" "$work/cards/windows/0001.bmp" "$work/cards/linux/0001.bmp" |
    tee "$work/compare.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  # A dark card, where the faintest edge of a digit shows: 08, 09, 19, 28, 49, 84, 86, 90.
  local dark=4730F0EC
  if ! (cd "$work/cards" && timeout 120 "$wine" ../app/tessarine-cards.exe --code $dark \
          --colour 000040 --out windows-dark >/dev/null 2>&1); then
    echo "FALLO - tessarine-cards.exe --code $dark --colour 000040 --out windows-dark"
    status=1
  fi
  if ! "$linux_cli" --code $dark --colour 000040 --out "$work/cards/linux-dark" >/dev/null; then
    echo "FALLO - tessarine-cards --code $dark --colour 000040 --out linux-dark"
    status=1
  fi
  python3 "$here/compare_cards.py" "$work/cards/windows-dark/0001.bmp" \
    "$work/cards/linux-dark/0001.bmp" | tee "$work/compare-dark.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  echo "# comparación: $((SECONDS - start)) s"

  start=$SECONDS
  echo "# tessarine-cards.exe: --code, --list, --check, --pdf y lo que esta versión no hace"
  cli_checks "$work" "$linux_cli" | tee "$work/cli.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  echo "# opciones: $((SECONDS - start)) s"

  start=$SECONDS
  echo "# tessarine-bingo.exe: una partida jugada, matada y continuada"
  bingo_checks "$work" "$linux_cli" | tee "$work/bingo-record.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  echo "# bingo: $((SECONDS - start)) s"

  wineserver -k 2>/dev/null
  return $status
}

# check DESCRIPTION COMMAND...: one line for the check, counted into the caller's local
# passed and failed.
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok - $what"
    passed=$((passed + 1))
  else
    echo "FALLO - $what"
    failed=$((failed + 1))
  fi
}

# The Windows path of a file under Wine's Z: drive.
windows_path() { echo "Z:${1//\//\\}"; }

# The players' page served by the Windows window, fetched by curl as a phone would, step
# by step as bingo_driver.exe (CheckPlayersPage) tells: it writes FOLDER/pagina-N.txt and
# waits for pagina-N.hecho. A step's line, or a failure once the driver has ended without it.
page_step() {
  local folder=$1 name=$2
  while [ ! -f "$folder/$name.txt" ]; do
    [ -f "$folder/pagina-sin.txt" ] && return 2
    [ -f "$folder/pagina-fin" ] && return 1
    sleep 0.2
  done
  tr -d '\r' <"$folder/$name.txt"
}
# A field of the page's state (JSON), as Python reads it.
state_field() {
  python3 -c 'import json, sys; print(json.dumps(json.load(open(sys.argv[1]))[sys.argv[2]]))' "$1" "$2" 2>/dev/null
}
http_status() { curl -s -m 10 -o /dev/null -w '%{http_code}' "$@"; }

# Hostile requests to the Windows program's server (its limits run on Winsock there), each
# answered with its status, the page still served after it; meanwhile bingo_driver.exe
# checks that the window keeps answering.
hostile_checks() {
  local folder=$1 address=$2
  local hostport=${address#http://}
  hostport=${hostport%/}
  served() { [ "$(http_status "$address")" = 200 ]; }
  check "POST /: 405, y la página se sirve" eval '[ "$(http_status -X POST -d bola=47 "$address")" = 405 ] && served'
  check "PUT /estado: 405" eval '[ "$(http_status -X PUT -d "{}" "${address}estado")" = 405 ] && served'
  check "GET /nada: 404" eval '[ "$(http_status "${address}nada")" = 404 ] && served'
  check "GET /../../windows/win.ini: 404" \
    eval '[ "$(http_status --path-as-is "${address}../../windows/win.ini")" = 404 ] && served'
  check "una ruta de 100 000 caracteres: 414" \
    eval '[ "$(http_status "${address}$(head -c 100000 /dev/zero | tr "\0" a)")" = 414 ] && served'
  raw() { python3 "$here/raw_request.py" "$hostport" "$1"; }
  local answer
  answer=$(raw megabyte)
  check "una cabecera de un megabyte: 431 («$answer»)" eval '[[ "$answer" == "HTTP/1.1 431 "* ]] && served'
  # A byte at a time, slower than the headers' time allows: answered 408 at its end.
  answer=$(raw drip)
  check "un goteo lento de bytes: 408 al pasar el tiempo de las cabeceras («$answer»)" \
    eval '[[ "$answer" == "HTTP/1.1 408 "* ]] && served'
  answer=$(raw range)
  check "una cabecera Range de 7000 cifras: respondida («$answer»)" eval '[ -n "$answer" ] && served'
}

page_checks() {
  local folder=$1 passed=0 failed=0 line address last ball
  line=$(page_step "$folder" pagina-1)
  if [ $? -eq 2 ]; then
    echo "omitida - la página para móviles: el programa de Windows se hizo sin ella"
    echo "$passed passed, $failed failed"
    return 0
  fi
  if [ -z "$line" ]; then
    check "la ventana enciende la página para móviles" false
    echo "$passed passed, $failed failed"
    return 1
  fi
  read -r address last <<<"$line"
  check "la dirección de la página es http://A.B.C.D:PUERTO/: $address" \
    grep -qxE 'http://[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+:[0-9]+/' <<<"$address"
  check "el código QR de la ventana, leído por zbarimg, es esa dirección" \
    [ "$(zbarimg -q --raw "$folder/pagina-qr.bmp" 2>/dev/null)" = "$address" ]
  check "el de la pantalla de la sala también" \
    [ "$(zbarimg -q --raw "$folder/pagina-sala.bmp" 2>/dev/null)" = "$address" ]
  curl -s -m 10 -D "$folder/pagina.headers" -o "$folder/pagina.html" "$address"
  check "GET / (curl): 200 y text/html" \
    eval 'head -1 "$folder/pagina.headers" | grep -q " 200" && grep -qi "^content-type: text/html" "$folder/pagina.headers"'
  check "la página es la de los jugadores, en español" grep -q 'lang="es"' "$folder/pagina.html"
  curl -s -m 10 -o "$folder/estado.json" "${address}estado?cartones=4730F0CA,4730F0FF"
  check "GET /estado: la última bola es la de la ventana, el $last" [ "$(state_field "$folder/estado.json" ultima)" = "$last" ]
  check "GET /estado: el cartón 4730F0CA, en juego, con sus filas" \
    grep -q '"4730F0CA":\[\[' "$folder/estado.json"
  check "GET /estado: 4730F0FF no está en juego" grep -q '"4730F0FF":null' "$folder/estado.json"
  hostile_checks "$folder" "$address"
  touch "$folder/pagina-1.hecho"

  if ball=$(page_step "$folder" pagina-2); then
    curl -s -m 10 -o "$folder/estado-2.json" "${address}estado"
    check "GET /estado tras sacar el $ball: es la última" [ "$(state_field "$folder/estado-2.json" ultima)" = "$ball" ]
    check "y está entre las salidas" \
      eval 'state_field "$folder/estado-2.json" salidas | tr -d "[] " | tr , "\n" | grep -qx "$ball"'
    # The stream sends a phone that comes the state it has not seen, at once.
    curl -s -N -m 3 -o "$folder/eventos.txt" "${address}eventos"
    check "GET /eventos: el primer evento trae el $ball" grep -q "^data: .*\"ultima\":$ball," "$folder/eventos.txt"
    touch "$folder/pagina-2.hecho"
  else
    check "la ventana saca una bola con la página encendida" false
  fi
  if page_step "$folder" pagina-3 >/dev/null; then
    check "apagada, nadie responde en $address" [ "$(http_status "$address")" = 000 ]
    touch "$folder/pagina-3.hecho"
  else
    check "la ventana apaga la página" false
  fi
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# The game in the bingo window, through the window; then its record beside the Linux one.
bingo_checks() {
  local work=$1 linux_cli=$2 passed=0 failed=0
  local here_bingo=$work/bingo
  mkdir -p "$here_bingo"
  (cd "$here_bingo" && timeout 120 "$wine" ../app/tessarine-cards.exe --count 20 --time "$clock" \
     --no-files --list lista.csv >/dev/null 2>&1)
  check "tessarine-cards.exe --count 20 --no-files --list lista.csv" \
    [ "$(tr -d '\r' <"$here_bingo/lista.csv" | sed -n 2p | cut -d, -f2)" = 4730F0CA ]
  local win_folder
  win_folder=$(windows_path "$here_bingo")
  page_checks "$here_bingo" >"$work/page.log" 2>&1 &
  local page_pid=$!
  (cd "$work" && timeout 600 "$wine" bingo_driver.exe 'app\tessarine-bingo.exe' \
     "$win_folder\\lista.csv" "$win_folder" "$win_folder\\eventos.txt") 2>&1 |
    tr -d '\r' | tee "$work/bingo.log" | sed 's/^/  /'
  check "bingo_driver.exe: la partida en la ventana (bingo.log)" [ "${PIPESTATUS[0]}" -eq 0 ]
  touch "$here_bingo/pagina-fin"
  wait "$page_pid"
  echo "  # la página para móviles, desde Linux:"
  sed 's/^/  /' "$work/page.log"

  local acta=$here_bingo/acta
  pdftotext "$acta.pdf" "$acta.txt" 2>/dev/null
  check "acta.pdf: pdftotext lee el premio del cartón 4730F0CA" \
    grep -q '4730F0CA' "$acta.txt"
  check "acta.pdf: y la palabra «línea»" grep -q 'línea' "$acta.txt"
  check "acta.csv: la cabecera del acta" \
    [ "$(head -1 "$acta.csv" | tr -d '\r' | sed 's/^\xef\xbb\xbf//')" = apartado,orden,hora,bola,carton,codigo,detalle ]

  # The same list and events through the Linux core: the same calls and prizes, times aside.
  local record_of=$linux_dir_for_bingo/tests/bingo/bingo_record_of_events
  rm -rf "$here_bingo/linux-game"
  "$record_of" "$here_bingo/lista.csv" "$here_bingo/eventos.txt" "$here_bingo/linux-game" lista \
    >"$here_bingo/linux.csv" 2>"$here_bingo/linux.err"
  check "el núcleo de Linux juega los mismos eventos ($(wc -l <"$here_bingo/eventos.txt" 2>/dev/null) eventos)" \
    [ -s "$here_bingo/linux.csv" ]
  plays() {  # the calls, prizes and cards in play of a record, times aside
    tr -d '\r' <"$1" | grep -E '^(bola|premio|en juego),' |
      awk -F, 'BEGIN { OFS = "," } { $3 = ""; print }' | sed -E 's/a las [0-9:]+/a las -/'
  }
  plays "$here_bingo/final.csv" >"$here_bingo/windows.plays"
  plays "$here_bingo/linux.csv" >"$here_bingo/linux.plays"
  check "el acta de Windows tiene los dos premios que comparar" \
    [ "$(grep -c '^premio,' "$here_bingo/windows.plays")" -eq 2 ]
  check "el acta de Windows y la de Linux: las mismas bolas y los mismos premios" \
    diff "$here_bingo/windows.plays" "$here_bingo/linux.plays"
  # The balls the Windows window drew, across its kill, are those its key gives.
  check "tessarine-cards --verify-draw del acta final de Windows: el sorteo es correcto" \
    eval '"$linux_cli" --verify-draw "$here_bingo/final.csv" | grep -q "^El sorteo es correcto: "'
  # The record of the night the window played after (three games, one tie), printed.
  pdftotext -layout "$here_bingo/acta-noche.pdf" "$here_bingo/acta-noche.txt" 2>/dev/null
  check "el acta de la noche de Windows, leída con pdftotext: sus tres partidas y sus totales" \
    eval 'grep -q "Acta de la noche" "$here_bingo/acta-noche.txt" &&
          grep -q "Partida 3" "$here_bingo/acta-noche.txt" &&
          grep -q "línea: 0,30 €" "$here_bingo/acta-noche.txt" &&
          grep -q "Totales de la noche" "$here_bingo/acta-noche.txt"'
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# The Windows program's card codes, lists and checks against the Linux program's.
cli_checks() {
  local work=$1 linux_cli=$2 passed=0 failed=0
  local exe=../app/tessarine-cards.exe
  mkdir -p "$work/opts"
  cd "$work/opts" || return 1
  wcards() { timeout 120 "$wine" "$exe" "$@" 2>.err | tr -d '\r'; return "${PIPESTATUS[0]}"; }

  wcards --layout --code 4730F0CA >layout-windows
  "$linux_cli" --layout --code 4730F0CA >layout-linux
  check "--layout --code 4730F0CA: el cartón de Linux" cmp -s layout-windows layout-linux
  wcards --code 4730F0CA --out code >/dev/null
  "$linux_cli" --time "$clock" --out linux-code >/dev/null
  python3 "$here/compare_cards.py" code/0001.bmp linux-code/0001.bmp >compare-code.log
  check "--code 4730F0CA guarda el cartón de las $clock" [ $? -eq 0 ]

  wcards --count 3 --time "$clock" --out lista --list lista.csv >/dev/null
  check "--list: lista.csv y los 3 cartones" test -f lista.csv -a -f lista/0003.bmp
  "$linux_cli" --time "$clock" --no-files --list linux.csv >/dev/null
  check "--list: cabecera y primer cartón como los de Linux" \
    cmp -s <(head -2 lista.csv) <(head -2 linux.csv)
  local code rows ok=true
  while IFS=, read -r name code rows; do
    [ "$name" = archivo ] && continue
    [ "$(tr -d '\r' <<<"$rows" | tr , '\n')" = "$("$linux_cli" --layout --code "$code")" ] || ok=false
  done <lista.csv
  check "--list: las filas de cada cartón son las de su código" $ok

  local called
  called=$(sed -n 2p lista.csv | tr -d '\r' | cut -d, -f3-5 | tr ',' ' ' | sed 's/--//g')
  wcards --check lista.csv --called "$called" >check-windows
  "$linux_cli" --check lista.csv --called "$called" >check-linux
  check "--check: lo mismo que Linux con la lista de Windows" cmp -s check-windows check-linux
  check "--check: el primer cartón canta bingo" grep -q '^0001.bmp  4730F0CA  bingo' check-windows
  wcards --check --code 4730F0CA --called "$called" >check-code
  check "--check --code: bingo con el último número" \
    grep -q '^4730F0CA  bingo  (con el último número)' check-code
  wcards --check lista.csv --called "7 7" >/dev/null
  check "--check con un número repetido: estado 2" [ $? -eq 2 ]

  wcards --code 4730F0C >/dev/null
  check "--code mal escrito: estado 2" [ $? -eq 2 ]
  png_checks "$work"
  sheets_checks "$linux_cli"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# The Windows program's PDF sheets, read back by poppler and zbar as the Linux ones are.
sheets_checks() {
  local linux_cli=$1
  wcards --count 8 --time "$clock" --pdf hojas.pdf --list hojas.csv --out hojas >/dev/null
  check "--pdf hojas.pdf --list hojas.csv: estado 0, las hojas, la lista y los 8 cartones" \
    [ $? -eq 0 -a -f hojas.pdf -a -f hojas.csv -a -f hojas/0008.bmp ]
  # A run given a time is the same run on both builds: the Linux program's list of the
  # same command is this one, byte for byte, and so are the codes its barcodes read back.
  wcards --count 8 --time "$clock" --png --out h --pdf h.pdf --list l.csv >/dev/null
  "$linux_cli" --count 8 --time "$clock" --png --out h-linux --pdf h-linux.pdf \
    --list l-linux.csv >/dev/null
  check "--count 8 --time $clock --png --pdf --list: la lista de Windows es la de Linux" \
    eval '[ -s l.csv ] && cmp -s <(cut -d, -f2- l.csv) <(cut -d, -f2- l-linux.csv)'
  python3 "$here/../check_sheets.py" hojas.pdf hojas.csv "$linux_cli" >sheets.log 2>&1
  local read_back=$?
  sed 's/^/  # /' sheets.log
  check "las hojas: 3 páginas, cada casilla y cada código como los de su cartón, los códigos de barras leídos" \
    [ "$read_back" -eq 0 ]

  # One card's sheets from both programs: the same pages, glyph edges aside.
  wcards --code 4730F0CA --no-files --pdf una.pdf --title 'Año · 5 €' >/dev/null
  "$linux_cli" --code 4730F0CA --no-files --pdf una-linux.pdf --title 'Año · 5 €' >/dev/null
  python3 "$here/../same_pages.py" una.pdf una-linux.pdf | sed 's/^/  # /'
  check "--code 4730F0CA --pdf: las páginas de Windows son las de Linux" [ "${PIPESTATUS[0]}" -eq 0 ]

  local title='Año nuevo · 5 € «sí»'
  wcards --count 2 --no-files --pdf titulo.pdf --paper letter --title "$title" >/dev/null
  check "--no-files --paper letter --title: estado 0, ningún cartón" [ $? -eq 0 -a ! -e muchas ]
  check "--title: pdftotext da el título tal como se escribió" \
    [ "$(pdftotext -f 1 -l 1 titulo.pdf - | head -1)" = "$title" ]
  check "--paper letter: páginas Letter" grep -q 'letter' <(pdfinfo titulo.pdf)
  wcards --count 1 --no-files --pdf nieve.pdf --title 'Bingo ☃' >/dev/null
  check "--title con un carácter que la letra no tiene: estado 2, sin PDF" [ $? -eq 2 -a ! -e nieve.pdf ]
  check "--title: nombra el carácter" grep -q '«☃» (U+2603)' .err

  full_disk_checks
}

# A full disk under the sheets: the run fails on them, leaves no half PDF, keeps the list.
full_disk_checks() {
  mkdir -p small
  if ! mount -t tmpfs -o size=64k tessarine-small small 2>/dev/null; then
    echo "# sin un tmpfs pequeño aquí (hace falta root): no se prueba el disco lleno"
    return
  fi
  wcards --count 400 --no-files --pdf small/hojas.pdf --list lleno.csv >/dev/null
  local code_of=$?
  local left
  left=$(ls -A small)
  umount small
  check "disco lleno bajo las hojas: estado 1" [ "$code_of" -eq 1 ]
  check "disco lleno: lo dice" grep -q 'disco lleno' .err
  check "disco lleno: ni medio PDF ni temporal" [ -z "$left" ]
  check "disco lleno: la lista de los 400 cartones" [ "$(wc -l <lleno.csv)" -eq 401 ]
}

# PNG cards: one writer in both builds. The Linux program's card of the same code differs
# in its glyph pixels (GDI against FreeType), so the .exe's PNG files are compared with
# what the Linux writer makes of the .exe's own bitmaps of the same cards, and read back
# by Pillow (Debian's python3-pil, for Debian's python3).
png_checks() {
  local work=$1
  wcards --count 3 --time "$clock" --png --out png --list png.csv >/dev/null
  local code_of=$?
  check "--png: 3 cartones PNG y ningún BMP" \
    [ "$code_of" -eq 0 -a -f png/0003.png -a ! -e png/0001.bmp ]
  # After the first, a run's cards follow the clock as it runs, slower under Wine: the
  # BMP of each PNG card is made again from its listed code, not by a second run.
  local name code rows made=true
  mkdir -p bmp
  while IFS=, read -r name code rows; do
    [ "$name" = archivo ] && continue
    wcards --code "$code" --out "bmp-$code" >/dev/null &&
      mv "bmp-$code/0001.bmp" "bmp/${name%.png}.bmp" || made=false
  done < <(tr -d '\r' <png.csv)
  check "--png: el código de cada cartón de la lista lo hace otra vez en BMP" $made
  local n same=true pixels=true
  for n in 0001 0002 0003; do
    { "$work/png_of_bitmap" "bmp/$n.bmp" "linux-$n.png" && cmp "png/$n.png" "linux-$n.png"; } ||
      same=false
    /usr/bin/python3 "$here/png_matches_bitmap.py" "png/$n.png" "bmp/$n.bmp" || pixels=false
  done
  check "--png: cada PNG es, byte a byte, el del escritor de Linux con los mismos píxeles" $same
  check "--png: Pillow lee en cada PNG los píxeles de su BMP" $pixels
}

if [ "${1:-}" = "--on-screen" ]; then
  shift
  use_wine_for "$3"
  linux_dir_for_bingo=$4
  on_screen "$1" "$2"
  exit $?
fi

# ---- Outside: check the inputs, build the driver, lay out a work folder ---------------
if [ $# -ne 2 ]; then
  echo "uso: $0 BUILD_WINDOWS_DIR BUILD_LINUX_DIR" >&2
  exit 2
fi
windows_dir=$(cd "$1" && pwd) || exit 2
linux_dir=$(cd "$2" && pwd) || exit 2
program=$windows_dir/app/tessarine.exe
cards_exe=$windows_dir/cli/tessarine-cards.exe
linux_cli=$linux_dir/cli/tessarine-cards
bingo_exe=$windows_dir/bingo/win32/tessarine-bingo.exe
for file in "$program" "$cards_exe" "$bingo_exe" "$linux_cli" \
            "$linux_dir/tests/bingo/bingo_record_of_events"; do
  if [ ! -f "$file" ]; then
    echo "FALLO - falta $file" >&2
    echo "0 passed, 1 failed"
    exit 1
  fi
done

bits=$(pe_bits "$program") || bits=unknown
if [ "$bits" = unknown ] || [ "$(pe_bits "$cards_exe")" != "$bits" ]; then
  echo "FALLO - $program y $cards_exe no son dos ejecutables PE del mismo tamaño de palabra"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "# Windows de $bits bits: $windows_dir"
triple=i686-w64-mingw32
[ "$bits" = 64 ] && triple=x86_64-w64-mingw32

total_start=$SECONDS
work=$(mktemp -d /tmp/tessarine-wine.XXXXXX)
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Both drivers, each with the helpers they share.
for driver in driver bingo_driver; do
  if ! "$triple-g++-posix" -std=c++17 -O2 -Wall -Wextra -Werror -municode -static \
         -I "$here/../../.." -o "$work/$driver.exe" "$here/$driver.cpp" "$here/driver_support.cpp" \
         -luser32 -lgdi32 -lshell32 -lole32 -luuid -lwinmm; then
    echo "FALLO - $driver.exe no compila"
    echo "0 passed, 1 failed"
    exit 1
  fi
done
if ! "$triple-g++-posix" -std=c++17 -O2 -Wall -Wextra -Werror -municode -static \
       -I "$here/../../.." -o "$work/handles_check.exe" "$here/handles_check.cpp" -lgdi32; then
  echo "FALLO - handles_check.exe no compila"
  echo "0 passed, 1 failed"
  exit 1
fi
if ! g++ -std=c++17 -O2 -Wall -Wextra -Werror -I "$here/../../.." -o "$work/png_of_bitmap" \
       "$here/png_of_bitmap.cpp" "$here/../../../formats/png_writer.cpp" \
       "$here/../../../formats/png_deflate.cpp" -lz; then
  echo "FALLO - png_of_bitmap no compila"
  echo "0 passed, 1 failed"
  exit 1
fi
mkdir -p "$work/app" "$work/cwd"
cp "$program" "$cards_exe" "$bingo_exe" "$work/app/"
cp "$program" "$work/app/tessarine-win98.exe"

xvfb-run -a -s '-screen 0 1280x1024x24' "$0" --on-screen "$work" "$linux_cli" "$bits" "$linux_dir"
status=$?
# The windows as the screen showed them with the phones' page on, kept to be looked at.
mkdir -p "$windows_dir/e2e-pantallas"
cp "$work"/bingo/pagina-*.bmp "$windows_dir/e2e-pantallas/" 2>/dev/null

# One closing count over both parts.
passed=0
failed=0
for log in "$work/driver.log" "$work/handles.log" "$work/compare.log" "$work/compare-dark.log" \
           "$work/cli.log" "$work/bingo.log" "$work/bingo-record.log" "$work/page.log"; do
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" 2>/dev/null | tail -1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))  # a part that did not get to its end
    continue
  fi
  passed=$((passed + ${line%% passed*}))
  rest=${line#*passed, }
  failed=$((failed + ${rest%% failed*}))
done
[ "$failed" -eq 0 ] || status=1
echo "# Windows bajo Wine: $((SECONDS - total_start)) s en total"
echo "$passed passed, $failed failed"
exit $status
