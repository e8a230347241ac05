<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Dialogs</name>
    <message>
        <source>padkbd presets (*.padkbd)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Untitle.padkbd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load a preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the path to save the document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save them as a preset document first?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t ask again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pad colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard plugged in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The keyboard was plugged in. Read its settings in place of the ones shown?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo brings the ones shown back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep my edits</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>padkbd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click a pad, knob or button to edit it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MIDI channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global MIDI channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Octave</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Octave transposition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Velocity curve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pad velocity curve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Knob acceleration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Knob acceleration curve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memory slot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memory slot that Send writes to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware version of the keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The control being edited</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode option</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Option of the chosen mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MIDI channel of this control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CC / note number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MIDI number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour R / G / B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Red (0–127)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Green (0–127)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blue (0–127)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The pad&apos;s colour: click to pick another</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Give several pads the same mode, option and colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All pads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose all 48 pads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave bulk mode without changing any pad (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace the settings with the default preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load a preset document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the settings as a preset document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gains…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set the eight gains</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write every setting into the chosen memory slot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether the keyboard is plugged in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Default preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy control settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste control settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Read from keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Send to keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Return</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Gains…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keyboard…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the USB keyboard the editor talks to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectorSurface</name>
    <message>
        <source>Bank 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bank switch: the top row edits Pad 1-8 while it is lit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row %1 ▸</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose every pad of this row</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <source>加载ing……</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从设备读取参数成功!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接到设备失败.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送中……</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>成功发送到设备!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未连接</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Editor for the settings of the USB-MIDI pad keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work with a simulated keyboard instead of USB (no hardware needed).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The window&apos;s language: en, zh_CN, or source (as built).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>language</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>padkbd::editor::GainController</name>
    <message>
        <source>Gains</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain of each of the eight inputs (0 to 127)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardActions</name>
    <message>
        <source> (1 setting from the keyboard was outside its list and set to the first entry)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (%1 settings from the keyboard were outside their lists and set to the first entry)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set to the first entry of their lists:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 byte %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>● Keyboard connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>○ No keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking for the keyboard…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending to memory slot %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the keyboard, attempt %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading from the keyboard… %1/%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending to memory slot %1… %2/%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading cancelled; nothing changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memory slot %1 gets every setting shown. What the keyboard holds now is not known: it was not read, or a send stopped part-way.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing changes in memory slot %1: it gets what the keyboard last read or was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 setting will change in memory slot %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 settings will change in memory slot %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> %1 of %2 settings reached memory slot %3, which now holds a mix of old and new settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending the gains…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardController</name>
    <message>
        <source>can be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this user may not open it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be opened (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in use, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB MIDI devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bus, port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB device:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manufacturer bytes:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings file:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VID:PID, hexadecimal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>three bytes 00-7f, hexadecimal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB device (VID:PID):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pick a device above or type its ids. The manufacturer bytes are the three bytes after F0 in the keyboard&apos;s settings messages.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use this keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, by %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bus %1, port %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The USB devices cannot be listed: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No USB MIDI device found. Is the keyboard plugged in and switched on? Its ids can still be typed below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This user may not open %1. To allow it, run these two commands, then unplug the device and plug it in again:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program holds %1 (a MIDI application, for example); close it to use the device here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (none yet)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Mend or delete the file to store a choice here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not a USB device id: write the vendor and product id in hexadecimal, up to four digits each, as VID:PID.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” are not three manufacturer bytes: write six hexadecimal digits, each byte 00 to 7f.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The choice was not stored, and the editor still uses %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stored. Looking for %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stored. The next send goes to %1%2. The window still shows the settings it had; sending writes them to this keyboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, which is not connected now</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MainWindowController</name>
    <message>
        <source>%1[*] — padkbd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings file is damaged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

To choose another keyboard, mend or delete the file, then open Keyboard → Keyboard… in the menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closing the window</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>padkbd::editor::ViewController</name>
    <message>
        <source>from the keyboard (firmware %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sent to memory slot %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>default preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>批量参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出批量模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pads chosen: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading from the keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 would drop the changes made since the preset was last loaded, saved, read or sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The default preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The default preset was not loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading a preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preset was not loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preset was not saved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
