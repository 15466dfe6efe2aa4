// Starts Vostrel on the page with Qt's loader, and tells the visitor, in Thai and English, what happens when
// it cannot start or has ended. Sizes the window to the screen.
"use strict";

(function () {
    // Qt's screen: Qt puts the window in it, and takes its size as the screen's.
    const screen = document.getElementById("screen");
    const main = document.querySelector("main");
    const turn = document.getElementById("turn");
    const panel = document.getElementById("panel");
    const message = document.getElementById("message");
    const english = document.getElementById("english");
    const progress = document.getElementById("progress");
    const again = document.getElementById("again");

    // The page's state for the tests and for anyone who looks: loading, running, error or ended.
    function show(state, thai, inEnglish, { busy = false, restart = false } = {}) {
        document.body.dataset.state = state;
        message.textContent = thai;
        english.textContent = inEnglish;
        progress.hidden = !busy;
        again.hidden = !restart;
        again.textContent = state === "error" ? "ลองใหม่ (Try again)" : "เริ่มใหม่ (Start again)";
        // Hidden but laid out: Qt takes the screen's size from the element as it is laid out on the page.
        screen.style.visibility = "hidden";
        panel.hidden = false;
        if (restart)
            again.focus();
    }

    again.addEventListener("click", () => location.reload());

    // What the program puts on the page for its own use stays out of the way of a screen reader and of the
    // Tab key, whatever builds it. An element hidden from assistive technology (the canvas, which the
    // program retells over itself as a mirror of its controls) is no Tab stop while hidden: Tab reaches the
    // window through the controls that stand for it, never a place where a reader finds nothing; a click
    // and the program still focus it. A text field with no name (Qt's field for a phone's keyboard, off the
    // page) is named, reached only as the program focuses it, and kept in the page's main region with the
    // window it types into, not loose on the page.
    const TYPING_FIELD = "ช่องพิมพ์ของหน้าต่าง Vostrel (Typing into Vostrel's window)";
    const FOCUSABLE = "a[href], button, input, select, textarea, [tabindex], [contenteditable]";
    const tabStops = new Map(); // what was taken out of the Tab order, with its own tabindex
    function named(field) {
        return field.labels?.length || ["aria-label", "aria-labelledby", "title"].some((a) => field.getAttribute(a));
    }
    function tidy(element) {
        if (element.nodeType !== Node.ELEMENT_NODE)
            return;
        for (const each of [element, ...element.querySelectorAll(FOCUSABLE)]) {
            if (each.tabIndex >= 0 && !tabStops.has(each) && each.closest("[aria-hidden=true]") !== null) {
                tabStops.set(each, each.getAttribute("tabindex"));
                each.tabIndex = -1;
            }
            if ((each.tagName === "INPUT" || each.tagName === "TEXTAREA") && !named(each)) {
                each.setAttribute("aria-label", TYPING_FIELD);
                each.tabIndex = -1;
                if (each.parentElement === document.body && document.activeElement !== each)
                    main.appendChild(each);
            }
        }
        // Shown to assistive technology again (the program ended and took its mirror off): its own Tab stop.
        for (const [each, own] of tabStops) {
            if (each.closest("[aria-hidden=true]") !== null)
                continue;
            tabStops.delete(each);
            if (own === null)
                each.removeAttribute("tabindex");
            else
                each.setAttribute("tabindex", own);
        }
    }
    new MutationObserver((changes) => {
        for (const change of changes) {
            if (change.type === "attributes")
                tidy(change.target);
            else
                change.addedNodes.forEach(tidy);
        }
    }).observe(document.body, { subtree: true, childList: true, attributes: true, attributeFilter: ["aria-hidden"] });
    tidy(document.body);

    // The window's client area in device-independent pixels, and its element buttons' side there.
    const WINDOW_WIDTH = 792, WINDOW_HEIGHT = 416, ELEMENT_BUTTON = 33;
    // The smallest target a finger can be asked to tap, in CSS pixels (WCAG 2.2, target size).
    const SMALLEST_TARGET = 24;

    // The window as large as the page's room allows, keeping its proportions: Qt takes the element's size
    // as its screen's, and the program scales the whole window to it. Whole CSS pixels, centred on whole
    // pixels, so that the picture Qt draws for the device's pixels is shown as drawn, not resampled.
    function scaleIn(room) {
        return Math.min(room.clientWidth / WINDOW_WIDTH, room.clientHeight / WINDOW_HEIGHT);
    }
    function fit() {
        turn.hidden = true; // the room as it is without the notice
        // A phone held upright shows the window too small to tap: the page says that turning it helps.
        const upright = window.innerHeight > window.innerWidth;
        turn.hidden = !(upright && scaleIn(main) * ELEMENT_BUTTON < SMALLEST_TARGET);
        const scale = scaleIn(main);
        const width = Math.max(1, Math.floor(WINDOW_WIDTH * scale));
        const height = Math.max(1, Math.floor(WINDOW_HEIGHT * scale));
        screen.style.width = width + "px";
        screen.style.height = height + "px";
        screen.style.left = Math.floor((main.clientWidth - width) / 2) + "px";
        screen.style.top = Math.floor((main.clientHeight - height) / 2) + "px";
        // The viewport it was fitted to, for the tests and for anyone who looks: a resize event comes a
        // while after the viewport changes.
        screen.dataset.fittedTo = window.innerWidth + "x" + window.innerHeight;
    }
    // Qt follows the element's size as it changes: a window resized, the phone turned, the zoom.
    window.addEventListener("resize", fit);
    fit();

    // A touch that the system cancels (a swipe from the screen's edge, a notification) reaches the program as
    // a finger that slid onto the window's bare ground and lifted: the control it pressed comes up without a
    // click, as under the mouse. Qt 6.8.2's web platform takes no cancelled pointer (it fails on one, and
    // then loses every later touch), and Qt would click the control if it did.
    window.addEventListener("pointercancel", (event) => {
        if (!screen.contains(event.target) || typeof PointerEvent !== "function")
            return;
        event.stopImmediatePropagation();
        const area = screen.getBoundingClientRect();
        // The window's top right corner: no control stands there.
        const off = { pointerId: event.pointerId, pointerType: event.pointerType, isPrimary: event.isPrimary,
                      clientX: area.right - 1, clientY: area.top + 1, bubbles: true, composed: true };
        const target = event.composedPath()[0];
        target.dispatchEvent(new PointerEvent("pointermove", { ...off, buttons: 1 }));
        target.dispatchEvent(new PointerEvent("pointerup", { ...off, button: 0, buttons: 0 }));
    }, true);

    function explain(error) {
        const text = String(error);
        if (text.includes("WebAssembly is not supported"))
            return ["เบราว์เซอร์นี้ไม่รองรับ WebAssembly จึงเปิด Vostrel ไม่ได้ โปรดใช้เบราว์เซอร์รุ่นใหม่",
                    "This browser does not support WebAssembly, which Vostrel needs. Please use a current browser."];
        return ["โหลด Vostrel ไม่สำเร็จ โปรดตรวจการเชื่อมต่อแล้วลองใหม่",
                "Vostrel could not be loaded (" + text + "). Please check the connection and try again."];
    }

    function showError(error) {
        const [thai, inEnglish] = explain(error);
        show("error", thai, inEnglish, { restart: true });
    }

    let running = false;
    let ended = false;
    let fetching = ""; // the program's file Emscripten fetched last, which a failed load names
    // Where the window stays open (a tab the visitor opened), the page says so and offers to start again.
    function programEnded(crashed, reason) {
        if (ended)
            return;
        ended = true;
        if (!running) {
            // A file that failed to load ends the loading too, with the reason.
            showError(fetching ? fetching + ": " + reason : reason);
            return;
        }
        if (crashed) {
            show("ended", "Vostrel หยุดทำงานเพราะเกิดข้อผิดพลาด", "Vostrel stopped because of an error.",
                 { restart: true });
            return;
        }
        show("ended", "Vostrel จบการทำงานแล้ว", "Vostrel has ended.", { restart: true });
        // An installed app's window closes; a tab the visitor opened stays, showing the line above.
        window.close();
    }

    show("loading", "กำลังโหลด Vostrel…", "Loading Vostrel…", { busy: true });
    if (typeof WebAssembly !== "object") {
        showError("WebAssembly is not supported");
    } else {
        // The program ends through exit() (Qt's event loop on the web never returns), which Qt's loader
        // reports as a clean exit, and an abort as a crash.
        qtLoad({
            locateFile: function (name) {
                fetching = name;
                return name;
            },
            qt: {
                entryFunction: self.vostrel_entry,
                containerElements: [screen],
                // The fonts are those compiled into the program: the window looks the same on every machine.
                localFonts: { familiesCollection: "NoFontFamilies" },
                onLoaded: function () {
                    // The page as it is now: a turn while the program loaded may not have reached the
                    // listener yet.
                    fit();
                    running = true;
                    document.body.dataset.state = "running";
                    panel.hidden = true;
                    screen.style.visibility = "visible";
                },
                onExit: function (exit) {
                    programEnded(exit.crashed, exit.text);
                },
            },
        }).catch((error) => programEnded(true, error && error.message ? error.message : error));
    }

    // After the first visit the page and the program come from the browser's cache, with or without network.
    if ("serviceWorker" in navigator && location.protocol !== "file:")
        navigator.serviceWorker.register("sw.js").catch(() => {});
})();
