#!/usr/bin/python3
"""The phones' page in a real browser: headless Chromium driven through chromedriver,
at a phone's size (390 x 844 CSS pixels, as a small phone shows it).

The test that starts this script (tests/e2e/qt/page_test.cpp) drives the bingo window and
sends one command a line on standard input; each is answered with one line, "ok" or
"fallo: why", once the page shows what was asked or 10 seconds have passed:

  abrir URL             open the page
  recargar              open it again (what the phone kept, it still has)
  bola N                N is the last ball and is marked on the board
  sin-bola N            N is marked nowhere on the board
  tablero N             N is marked on the board
  anuncia TEXT          the screen readers' live region says TEXT (among what it says)
  carton CODE           type the cartón's code into "Mis cartones"
  marcado CODE N        the cartón shows N marked
  dice CODE TEXT        the cartón's line says TEXT (among what it says)
  reconectando          "Reconectando…" is shown
  conectado             it is not
  captura PATH [ZOOM [entera]]  a screenshot, at ZOOM times the text (2 = 200 %), of the
                        phone's screen or of the whole page
  salir

Exit 77 when Chromium or chromedriver cannot be started here (the test is then skipped).
"""
import sys
import time

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError as missing:
    print("sin selenium: %s" % missing, flush=True)
    sys.exit(77)

WIDTH, HEIGHT = 390, 844


def start_browser():
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                     "--window-size=%d,%d" % (WIDTH, HEIGHT)):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    phone_size(driver, 1)
    return driver


def phone_size(driver, zoom):
    # A zoom of 200 % halves the CSS pixels a phone's screen has, as the phone's own zoom does.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": int(WIDTH / zoom), "height": int(HEIGHT / zoom),
        "deviceScaleFactor": zoom, "mobile": True})


def until(check, what):
    deadline = time.time() + 10
    last = None
    while time.time() < deadline:
        try:
            last = check()
            if last is True:
                return "ok"
        except Exception as error:  # the page may be mid-repaint
            last = error
        time.sleep(0.1)
    return "fallo: %s (%s)" % (what, last)


def board_cell(driver, number):
    return driver.find_elements(By.CSS_SELECTOR, "#tablero span")[number - 1]


def card(driver, code):
    return driver.find_element(By.CSS_SELECTOR, 'article[data-codigo="%s"]' % code)


def card_marks(driver, code):
    return [cell.text for cell in card(driver, code).find_elements(By.CSS_SELECTOR, "td.marcado")]


def run(driver, words):
    command, arguments = words[0], words[1:]
    if command in ("abrir", "recargar"):
        if command == "abrir":
            driver.get(arguments[0])
        else:
            driver.refresh()
        return until(lambda: driver.execute_script("return document.readyState") == "complete" and
                     not driver.find_element(By.ID, "partida").get_attribute("hidden"),
                     "la página con la partida")
    if command == "bola":
        number = int(arguments[0])
        return until(lambda: driver.find_element(By.ID, "ultima").text == str(number) and
                     "salida" in board_cell(driver, number).get_attribute("class") or
                     driver.find_element(By.ID, "ultima").text, "la bola %d" % number)
    if command == "sin-bola":
        number = int(arguments[0])
        return until(lambda: "salida" not in board_cell(driver, number).get_attribute("class"),
                     "la bola %d quitada" % number)
    if command == "tablero":
        number = int(arguments[0])
        return until(lambda: "salida" in board_cell(driver, number).get_attribute("class"),
                     "la bola %d en el tablero" % number)
    if command == "anuncia":
        text = " ".join(arguments)
        region = lambda: driver.find_element(By.ID, "anuncio")
        return until(lambda: region().get_attribute("aria-live") == "assertive" and
                     text in region().get_attribute("textContent") or region().get_attribute("textContent"),
                     "«%s» anunciado" % text)
    if command == "carton":
        field = driver.find_element(By.ID, "codigo")
        field.clear()
        field.send_keys(arguments[0] + "\n")
        return until(lambda: card(driver, arguments[0]) is not None, "el cartón en la lista")
    if command == "marcado":
        return until(lambda: arguments[1] in card_marks(driver, arguments[0]) or card_marks(driver, arguments[0]),
                     "%s marcado en %s" % (arguments[1], arguments[0]))
    if command == "dice":
        text = " ".join(arguments[1:])
        said = lambda: card(driver, arguments[0]).find_element(By.CSS_SELECTOR, ".falta").text
        return until(lambda: text in said() or said(), "«%s»" % text)
    if command in ("reconectando", "conectado"):
        wanted = command == "reconectando"
        return until(lambda: driver.find_element(By.ID, "conexion").is_displayed() == wanted,
                     "«Reconectando…» %s" % ("a la vista" if wanted else "quitado"))
    if command == "captura":
        zoom = float(arguments[1]) if len(arguments) > 1 else 1
        phone_size(driver, zoom)
        time.sleep(0.3)
        height = driver.execute_script("return document.documentElement.scrollHeight")
        if len(arguments) > 2 and arguments[2] == "entera":
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": int(WIDTH / zoom), "height": int(max(HEIGHT / zoom, height)),
                "deviceScaleFactor": zoom, "mobile": True})
            time.sleep(0.3)
        saved = driver.save_screenshot(arguments[0])
        phone_size(driver, 1)
        return "ok" if saved else "fallo: la captura"
    return "fallo: no sé hacer %s" % command


def main():
    try:
        driver = start_browser()
    except Exception as error:
        print("sin navegador: %s" % error, flush=True)
        sys.exit(77)
    print("listo", flush=True)
    try:
        for line in sys.stdin:
            words = line.split()
            if not words:
                continue
            if words[0] == "salir":
                break
            print(run(driver, words), flush=True)
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
