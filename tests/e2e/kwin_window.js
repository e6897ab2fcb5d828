// Run by the KWin test inside KWin: says what KWin has of the game's window, then does ACTION to
// it: nothing, maximize or close. The test defines ACTION and SCRIPT above this line.
for (const window of workspace.clientList()) {
    if (window.caption !== "Jangora 2.4") {
        continue;
    }
    const frame = window.frameGeometry;
    const client = window.bufferGeometry;
    print(`game window ${SCRIPT}: client ${client.width}x${client.height}, frame ${frame.width}x${frame.height}`);
    if (ACTION === "maximize") {
        window.setMaximize(true, true);
    } else if (ACTION === "close") {
        window.closeWindow();
    }
}
