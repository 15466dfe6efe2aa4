// Starts Vostrel on the page with Qt's loader, and tells the visitor, in Thai and English, what happens when
// it cannot start or has ended.
"use strict";

(function () {
    const canvas = document.getElementById("qtcanvas");
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
        // Hidden but laid out: Qt takes the screen's size from the canvas as it is laid out on the page.
        canvas.style.visibility = "hidden";
        panel.hidden = false;
        if (restart)
            again.focus();
    }

    again.addEventListener("click", () => location.reload());

    function explain(error) {
        const text = String(error);
        if (text.includes("WebAssembly is not supported"))
            return ["เบราว์เซอร์นี้ไม่รองรับ WebAssembly จึงเปิด Vostrel ไม่ได้ โปรดใช้เบราว์เซอร์รุ่นใหม่",
                    "This browser does not support WebAssembly, which Vostrel needs. Please use a current browser."];
        if (text.includes("WebGL is not supported"))
            return ["เบราว์เซอร์นี้ไม่รองรับ WebGL หรือปิดไว้ จึงวาดหน้าต่าง Vostrel ไม่ได้",
                    "This browser does not support WebGL, or has it switched off, so Vostrel cannot draw its window."];
        return ["โหลด Vostrel ไม่สำเร็จ โปรดตรวจการเชื่อมต่อแล้วลองใหม่",
                "Vostrel could not be loaded (" + text + "). Please check the connection and try again."];
    }

    function showError(error) {
        const [thai, inEnglish] = explain(error);
        show("error", thai, inEnglish, { restart: true });
    }

    let running = false;
    let ended = false;
    // Where the window stays open (a tab the visitor opened), the page says so and offers to start again.
    function programEnded(crashed) {
        if (ended)
            return;
        ended = true;
        if (!running) {
            // A file that failed to load ends the loading too; Qt's loader keeps the reason in self.error.
            showError(self.error || loader.exitText);
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
    const loader = QtLoader({
        canvasElements: [canvas],
        showLoader: function (subState) {
            show("loading", subState === "Compiling" ? "กำลังเตรียม Vostrel…" : "กำลังโหลด Vostrel…",
                 subState === "Compiling" ? "Preparing Vostrel…" : "Loading Vostrel…", { busy: true });
        },
        showError: showError,
        showCanvas: function () {
            running = true;
            document.body.dataset.state = "running";
            panel.hidden = true;
            canvas.style.visibility = "visible";
            canvas.focus();
        },
        showExit: function (crashed) {
            programEnded(crashed);
        },
    });
    // The program ends through exit(), and Emscripten then calls onExit. Qt's loader takes no note of a clean
    // exit, as main() also "exits" when Qt's event loop takes over, so the page notes the real one, and lets
    // it unwind the program as Emscripten's own handler would.
    self.moduleConfig.onExit = function () {
        programEnded(false);
    };
    self.moduleConfig.quit = function (code, exception) {
        if (ended)
            throw exception;
    };
    loader.loadEmscriptenModule("vostrel");

    // After the first visit the page and the program come from the browser's cache, with or without network.
    if ("serviceWorker" in navigator && location.protocol !== "file:")
        navigator.serviceWorker.register("sw.js").catch(() => {});
})();
