<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>About</name>
    <message>
        <source>padkbd %1
The editor of the USB-MIDI pad keyboard&apos;s settings.

Qt %2 · libusb %3 · libplist %4 · RtMidi %5

Settings: %6
Data: %7
Log and history: %8</source>
        <translation>padkbd %1
The editor of the USB-MIDI pad keyboard&apos;s settings.

Qt %2 · libusb %3 · libplist %4 · RtMidi %5

Settings: %6
Data: %7
Log and history: %8</translation>
    </message>
</context>
<context>
    <name>Controller</name>
    <message>
        <source>Bank Select</source>
        <translation>Bank Select</translation>
    </message>
    <message>
        <source>Modulation</source>
        <translation>Modulation</translation>
    </message>
    <message>
        <source>Breath Controller</source>
        <translation>Breath Controller</translation>
    </message>
    <message>
        <source>Foot Controller</source>
        <translation>Foot Controller</translation>
    </message>
    <message>
        <source>Portamento Time</source>
        <translation>Portamento Time</translation>
    </message>
    <message>
        <source>Data Entry</source>
        <translation>Data Entry</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>Pan</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>Expression</source>
        <translation>Expression</translation>
    </message>
    <message>
        <source>Effect Control 1</source>
        <translation>Effect Control 1</translation>
    </message>
    <message>
        <source>Effect Control 2</source>
        <translation>Effect Control 2</translation>
    </message>
    <message>
        <source>General Purpose 1</source>
        <translation>General Purpose 1</translation>
    </message>
    <message>
        <source>General Purpose 2</source>
        <translation>General Purpose 2</translation>
    </message>
    <message>
        <source>General Purpose 3</source>
        <translation>General Purpose 3</translation>
    </message>
    <message>
        <source>General Purpose 4</source>
        <translation>General Purpose 4</translation>
    </message>
    <message>
        <source>Sustain Pedal</source>
        <translation>Sustain Pedal</translation>
    </message>
    <message>
        <source>Portamento On/Off</source>
        <translation>Portamento On/Off</translation>
    </message>
    <message>
        <source>Sostenuto</source>
        <translation>Sostenuto</translation>
    </message>
    <message>
        <source>Soft Pedal</source>
        <translation>Soft Pedal</translation>
    </message>
    <message>
        <source>Legato Footswitch</source>
        <translation>Legato Footswitch</translation>
    </message>
    <message>
        <source>Hold 2</source>
        <translation>Hold 2</translation>
    </message>
    <message>
        <source>Sound Variation</source>
        <translation>Sound Variation</translation>
    </message>
    <message>
        <source>Resonance</source>
        <translation>Resonance</translation>
    </message>
    <message>
        <source>Release Time</source>
        <translation>Release Time</translation>
    </message>
    <message>
        <source>Attack Time</source>
        <translation>Attack Time</translation>
    </message>
    <message>
        <source>Cutoff</source>
        <translation>Cutoff</translation>
    </message>
    <message>
        <source>Decay Time</source>
        <translation>Decay Time</translation>
    </message>
    <message>
        <source>Vibrato Rate</source>
        <translation>Vibrato Rate</translation>
    </message>
    <message>
        <source>Vibrato Depth</source>
        <translation>Vibrato Depth</translation>
    </message>
    <message>
        <source>Vibrato Delay</source>
        <translation>Vibrato Delay</translation>
    </message>
    <message>
        <source>Sound Controller 10</source>
        <translation>Sound Controller 10</translation>
    </message>
    <message>
        <source>General Purpose 5</source>
        <translation>General Purpose 5</translation>
    </message>
    <message>
        <source>General Purpose 6</source>
        <translation>General Purpose 6</translation>
    </message>
    <message>
        <source>General Purpose 7</source>
        <translation>General Purpose 7</translation>
    </message>
    <message>
        <source>General Purpose 8</source>
        <translation>General Purpose 8</translation>
    </message>
    <message>
        <source>Portamento Control</source>
        <translation>Portamento Control</translation>
    </message>
    <message>
        <source>High Resolution Velocity</source>
        <translation>High Resolution Velocity</translation>
    </message>
    <message>
        <source>Reverb</source>
        <translation>Reverb</translation>
    </message>
    <message>
        <source>Tremolo</source>
        <translation>Tremolo</translation>
    </message>
    <message>
        <source>Chorus</source>
        <translation>Chorus</translation>
    </message>
    <message>
        <source>Detune</source>
        <translation>Detune</translation>
    </message>
    <message>
        <source>Phaser</source>
        <translation>Phaser</translation>
    </message>
    <message>
        <source>Data Increment</source>
        <translation>Data Increment</translation>
    </message>
    <message>
        <source>Data Decrement</source>
        <translation>Data Decrement</translation>
    </message>
    <message>
        <source>NRPN</source>
        <translation>NRPN</translation>
    </message>
    <message>
        <source>RPN</source>
        <translation>RPN</translation>
    </message>
    <message>
        <source>All Sound Off</source>
        <translation>All Sound Off</translation>
    </message>
    <message>
        <source>Reset All Controllers</source>
        <translation>Reset All Controllers</translation>
    </message>
    <message>
        <source>Local Control</source>
        <translation>Local Control</translation>
    </message>
    <message>
        <source>All Notes Off</source>
        <translation>All Notes Off</translation>
    </message>
    <message>
        <source>Omni Off</source>
        <translation>Omni Off</translation>
    </message>
    <message>
        <source>Omni On</source>
        <translation>Omni On</translation>
    </message>
    <message>
        <source>Mono On</source>
        <translation>Mono On</translation>
    </message>
    <message>
        <source>Poly On</source>
        <translation>Poly On</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>padkbd presets (*.padkbd)</source>
        <translation>padkbd presets (*.padkbd)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Untitle.padkbd</source>
        <translation>Untitle.padkbd</translation>
    </message>
    <message>
        <source>Load a preset</source>
        <translation>Load a preset</translation>
    </message>
    <message>
        <source>Choose the path to save the document</source>
        <translation>Choose the path to save the document</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <source>Save them as a preset document first?</source>
        <translation>Save them as a preset document first?</translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation>Send to keyboard</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Don&apos;t ask again</source>
        <translation>Don&apos;t ask again</translation>
    </message>
    <message>
        <source>Pad colour</source>
        <translation>Pad colour</translation>
    </message>
    <message>
        <source>Keyboard plugged in</source>
        <translation>Keyboard plugged in</translation>
    </message>
    <message>
        <source>The keyboard was plugged in. Read its settings in place of the ones shown?</source>
        <translation>The keyboard was plugged in. Read its settings in place of the ones shown?</translation>
    </message>
    <message>
        <source>Undo brings the ones shown back.</source>
        <translation>Undo brings the ones shown back.</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Keep my edits</source>
        <translation>Keep my edits</translation>
    </message>
    <message>
        <source>Save the monitor&apos;s lines</source>
        <translation>Save the monitor&apos;s lines</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Add a folder to the library</source>
        <translation>Add a folder to the library</translation>
    </message>
    <message>
        <source>Import presets into the library</source>
        <translation>Import presets into the library</translation>
    </message>
    <message>
        <source>padkbd presets (*.padkbd);;All files (*)</source>
        <translation>padkbd presets (*.padkbd);;All files (*)</translation>
    </message>
    <message>
        <source>Send Set</source>
        <translation>Send Set</translation>
    </message>
    <message>
        <source>Skip Them</source>
        <translation>Skip Them</translation>
    </message>
    <message>
        <source>Send All</source>
        <translation>Send All</translation>
    </message>
    <message>
        <source>Sets of nine (*.padkbdset)</source>
        <translation>Sets of nine (*.padkbdset)</translation>
    </message>
    <message>
        <source>Open a set of nine</source>
        <translation>Open a set of nine</translation>
    </message>
    <message>
        <source>Save the set of nine</source>
        <translation>Save the set of nine</translation>
    </message>
    <message>
        <source>Save to Library</source>
        <translation>Save to Library</translation>
    </message>
    <message>
        <source>live, drums, studio</source>
        <translation>live, drums, studio</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Tags:</source>
        <translation>Tags:</translation>
    </message>
    <message>
        <source>Notes:</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>Export the names</source>
        <translation>Export the names</translation>
    </message>
    <message>
        <source>MIDNAM documents (*.midnam)</source>
        <translation>MIDNAM documents (*.midnam)</translation>
    </message>
</context>
<context>
    <name>ListLabel</name>
    <message>
        <source>Channel %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>Curve %1</source>
        <translation>Curve %1</translation>
    </message>
    <message>
        <source>Pad %1</source>
        <translation>Pad %1</translation>
    </message>
    <message>
        <source>Knob %1</source>
        <translation>Knob %1</translation>
    </message>
    <message>
        <source>Button %1</source>
        <translation>Button %1</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>Memory %1</translation>
    </message>
    <message>
        <source>Global</source>
        <translation>Global</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>CC</source>
        <translation>CC</translation>
    </message>
    <message>
        <source>CC Switch</source>
        <translation>CC Switch</translation>
    </message>
    <message>
        <source>Note Switch</source>
        <translation>Note Switch</translation>
    </message>
    <message>
        <source>NRPN / RPN</source>
        <translation>NRPN / RPN</translation>
    </message>
    <message>
        <source>Absolute</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <source>Rleative #1</source>
        <translation>Relative #1</translation>
    </message>
    <message>
        <source>Rleative #2</source>
        <translation>Relative #2</translation>
    </message>
    <message>
        <source>Rleative #3</source>
        <translation>Relative #3</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>Toggle</translation>
    </message>
    <message>
        <source>Gate</source>
        <translation>Gate</translation>
    </message>
    <message>
        <source>NRPN</source>
        <translation>NRPN</translation>
    </message>
    <message>
        <source>RPN</source>
        <translation>RPN</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>padkbd</source>
        <translation>padkbd</translation>
    </message>
    <message>
        <source>Click a pad, knob or button to edit it</source>
        <translation>Click a pad, knob or button to edit it</translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation>Global settings</translation>
    </message>
    <message>
        <source>MIDI channel</source>
        <translation>MIDI channel</translation>
    </message>
    <message>
        <source>Global MIDI channel</source>
        <translation>Global MIDI channel</translation>
    </message>
    <message>
        <source>Octave</source>
        <translation>Octave</translation>
    </message>
    <message>
        <source>Octave transposition</source>
        <translation>Octave transposition</translation>
    </message>
    <message>
        <source>Velocity curve</source>
        <translation>Velocity curve</translation>
    </message>
    <message>
        <source>Pad velocity curve</source>
        <translation>Pad velocity curve</translation>
    </message>
    <message>
        <source>Knob acceleration</source>
        <translation>Knob acceleration</translation>
    </message>
    <message>
        <source>Knob acceleration curve</source>
        <translation>Knob acceleration curve</translation>
    </message>
    <message>
        <source>Memory slot</source>
        <translation>Memory slot</translation>
    </message>
    <message>
        <source>Memory slot that Send writes to</source>
        <translation>Memory slot that Send writes to</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Firmware version of the keyboard</source>
        <translation>Firmware version of the keyboard</translation>
    </message>
    <message>
        <source>Selected control</source>
        <translation>Selected control</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>The control being edited</source>
        <translation>The control being edited</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Mode option</source>
        <translation>Mode option</translation>
    </message>
    <message>
        <source>Option of the chosen mode</source>
        <translation>Option of the chosen mode</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>MIDI channel of this control</source>
        <translation>MIDI channel of this control</translation>
    </message>
    <message>
        <source>CC / note number</source>
        <translation>CC / note number</translation>
    </message>
    <message>
        <source>MIDI number</source>
        <translation>MIDI number</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Colour R / G / B</source>
        <translation>Colour R / G / B</translation>
    </message>
    <message>
        <source>Red (0–127)</source>
        <translation>Red (0–127)</translation>
    </message>
    <message>
        <source>Green (0–127)</source>
        <translation>Green (0–127)</translation>
    </message>
    <message>
        <source>Blue (0–127)</source>
        <translation>Blue (0–127)</translation>
    </message>
    <message>
        <source>The pad&apos;s colour: click to pick another</source>
        <translation>The pad&apos;s colour: click to pick another</translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation>Bulk change…</translation>
    </message>
    <message>
        <source>Give several pads the same mode, option and colour</source>
        <translation>Give several pads the same mode, option and colour</translation>
    </message>
    <message>
        <source>All pads</source>
        <translation>All pads</translation>
    </message>
    <message>
        <source>Choose all 48 pads</source>
        <translation>Choose all 48 pads</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Leave bulk mode without changing any pad (Esc)</source>
        <translation>Leave bulk mode without changing any pad (Esc)</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Replace the settings with the default preset</source>
        <translation>Replace the settings with the default preset</translation>
    </message>
    <message>
        <source>Load…</source>
        <translation>Load…</translation>
    </message>
    <message>
        <source>Load a preset document</source>
        <translation>Load a preset document</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Save the settings as a preset document</source>
        <translation>Save the settings as a preset document</translation>
    </message>
    <message>
        <source>Gains…</source>
        <translation>Gains…</translation>
    </message>
    <message>
        <source>Set the eight gains</source>
        <translation>Set the eight gains</translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation>Send to keyboard</translation>
    </message>
    <message>
        <source>Write every setting into the chosen memory slot</source>
        <translation>Write every setting into the chosen memory slot</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Whether the keyboard is plugged in</source>
        <translation>Whether the keyboard is plugged in</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Keyboard</source>
        <translation>&amp;Keyboard</translation>
    </message>
    <message>
        <source>&amp;Load…</source>
        <translation>&amp;Load…</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>&amp;Save…</source>
        <translation>&amp;Save…</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>&amp;Default preset</source>
        <translation>&amp;Default preset</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation>Ctrl+Shift+Z</translation>
    </message>
    <message>
        <source>&amp;Copy control settings</source>
        <translation>&amp;Copy control settings</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Paste control settings</source>
        <translation>&amp;Paste control settings</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>&amp;Read from keyboard</source>
        <translation>&amp;Read from keyboard</translation>
    </message>
    <message>
        <source>&amp;Send to keyboard</source>
        <translation>&amp;Send to keyboard</translation>
    </message>
    <message>
        <source>Ctrl+Return</source>
        <translation>Ctrl+Return</translation>
    </message>
    <message>
        <source>&amp;Gains…</source>
        <translation>&amp;Gains…</translation>
    </message>
    <message>
        <source>&amp;Keyboard…</source>
        <translation>&amp;Keyboard…</translation>
    </message>
    <message>
        <source>Choose the USB keyboard the editor talks to</source>
        <translation>Choose the USB keyboard the editor talks to</translation>
    </message>
    <message>
        <source>&amp;History…</source>
        <translation>&amp;History…</translation>
    </message>
    <message>
        <source>Every read from and send to a keyboard</source>
        <translation>Every read from and send to a keyboard</translation>
    </message>
    <message>
        <source>&amp;Memory Slots…</source>
        <translation>&amp;Memory Slots…</translation>
    </message>
    <message>
        <source>What each memory slot of the keyboard holds, as far as padkbd knows</source>
        <translation>What each memory slot of the keyboard holds, as far as padkbd knows</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>&amp;Monitor</translation>
    </message>
    <message>
        <source>Show what the keyboard sends while it is played</source>
        <translation>Show what the keyboard sends while it is played</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <source>Choose by &amp;Playing</source>
        <translation>Choose by &amp;Playing</translation>
    </message>
    <message>
        <source>The next control played on the keyboard becomes the one edited (Esc stops)</source>
        <translation>The next control played on the keyboard becomes the one edited (Esc stops)</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;About padkbd</source>
        <translation>&amp;About padkbd</translation>
    </message>
    <message>
        <source>Open &amp;Log Folder</source>
        <translation>Open &amp;Log Folder</translation>
    </message>
    <message>
        <source>Show the folder of the editor&apos;s log in the file manager</source>
        <translation>Show the folder of the editor&apos;s log in the file manager</translation>
    </message>
    <message>
        <source>&amp;Detailed log</source>
        <translation>&amp;Detailed log</translation>
    </message>
    <message>
        <source>Write every message to and from the keyboard to the log: each read or send adds about 250 KB, so the log fills quickly and keeps fewer days</source>
        <translation>Write every message to and from the keyboard to the log: each read or send adds about 250 KB, so the log fills quickly and keeps fewer days</translation>
    </message>
    <message>
        <source>Export &amp;Names…</source>
        <translation>Export &amp;Names…</translation>
    </message>
</context>
<context>
    <name>SelectorSurface</name>
    <message>
        <source>Bank 2</source>
        <translation>Bank 2</translation>
    </message>
    <message>
        <source>Bank switch: the top row edits Pad 1-8 while it is lit</source>
        <translation>Bank switch: the top row edits Pad 1-8 while it is lit</translation>
    </message>
    <message>
        <source>Row %1 ▸</source>
        <translation>Row %1 ▸</translation>
    </message>
    <message>
        <source>Choose every pad of this row</source>
        <translation>Choose every pad of this row</translation>
    </message>
    <message>
        <source>Keyboard controls</source>
        <translation>Keyboard controls</translation>
    </message>
    <message>
        <source>note %1</source>
        <translation>note %1</translation>
    </message>
    <message>
        <source>no note</source>
        <translation>no note</translation>
    </message>
    <message>
        <source>controller %1</source>
        <translation>controller %1</translation>
    </message>
    <message>
        <source>NRPN %1</source>
        <translation>NRPN %1</translation>
    </message>
    <message>
        <source>RPN %1</source>
        <translation>RPN %1</translation>
    </message>
    <message>
        <source>%1, channel %2</source>
        <translation>%1, channel %2</translation>
    </message>
    <message>
        <source>%1, channel %2, %3</source>
        <translation>%1, channel %2, %3</translation>
    </message>
    <message>
        <source>unlit</source>
        <translation>unlit</translation>
    </message>
    <message>
        <source>black</source>
        <translation>black</translation>
    </message>
    <message>
        <source>grey</source>
        <translation>grey</translation>
    </message>
    <message>
        <source>white</source>
        <translation>white</translation>
    </message>
    <message>
        <source>red</source>
        <translation>red</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>yellow</translation>
    </message>
    <message>
        <source>green</source>
        <translation>green</translation>
    </message>
    <message>
        <source>cyan</source>
        <translation>cyan</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>purple</source>
        <translation>purple</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>pink</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <source>加载ing……</source>
        <translation>Loading…</translation>
    </message>
    <message>
        <source>从设备读取参数成功!</source>
        <translation>Settings read from the keyboard.</translation>
    </message>
    <message>
        <source>连接到设备失败.</source>
        <translation>Could not connect to the keyboard.</translation>
    </message>
    <message>
        <source>发送中……</source>
        <translation>Sending…</translation>
    </message>
    <message>
        <source>成功发送到设备!</source>
        <translation>Sent to the keyboard.</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Editor for the settings of the USB-MIDI pad keyboard.</source>
        <translation>Editor for the settings of the USB-MIDI pad keyboard.</translation>
    </message>
    <message>
        <source>language</source>
        <translation>language</translation>
    </message>
    <message>
        <source>The window&apos;s language: en, zh_CN, or source (as built); the desktop&apos;s by default.</source>
        <translation>The window&apos;s language: en, zh_CN, or source (as built); the desktop&apos;s by default.</translation>
    </message>
    <message>
        <source>Write the diagnostic lines to standard error too, every message to and from the keyboard included (they always go to the editor&apos;s log file).</source>
        <translation>Write the diagnostic lines to standard error too, every message to and from the keyboard included (they always go to the editor&apos;s log file).</translation>
    </message>
</context>
<context>
    <name>padkbd::Texts</name>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>value</source>
        <translation>value</translation>
    </message>
    <message>
        <source>mode</source>
        <translation>mode</translation>
    </message>
    <message>
        <source>channel</source>
        <translation>channel</translation>
    </message>
    <message>
        <source>MIDI number</source>
        <translation>MIDI number</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>max</source>
        <translation>max</translation>
    </message>
    <message>
        <source>mode option</source>
        <translation>mode option</translation>
    </message>
    <message>
        <source>red</source>
        <translation>red</translation>
    </message>
    <message>
        <source>green</source>
        <translation>green</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>knob relative mode</source>
        <translation>knob relative mode</translation>
    </message>
    <message>
        <source>octave transposition</source>
        <translation>octave transposition</translation>
    </message>
    <message>
        <source>MIDI channel</source>
        <translation>MIDI channel</translation>
    </message>
    <message>
        <source>velocity curve</source>
        <translation>velocity curve</translation>
    </message>
    <message>
        <source>pad velocity curve</source>
        <translation>pad velocity curve</translation>
    </message>
    <message>
        <source>knob acceleration</source>
        <translation>knob acceleration</translation>
    </message>
    <message>
        <source>memory slot</source>
        <translation>memory slot</translation>
    </message>
    <message>
        <source>cannot open it (%1)</source>
        <translation>cannot open it (%1)</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>the file is too large for a preset (%1 bytes, at most %2)</source>
        <translation>the file is too large for a preset (%1 bytes, at most %2)</translation>
    </message>
    <message>
        <source>cannot read it (%1)</source>
        <translation>cannot read it (%1)</translation>
    </message>
    <message>
        <source>the file is too large for a preset (at most %1 bytes)</source>
        <translation>the file is too large for a preset (at most %1 bytes)</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>that is not a file name</source>
        <translation>that is not a file name</translation>
    </message>
    <message>
        <source>no free name for a temporary file beside it</source>
        <translation>no free name for a temporary file beside it</translation>
    </message>
    <message>
        <source>Cannot lock %1: %2</source>
        <translation>Cannot lock %1: %2</translation>
    </message>
    <message>
        <source>Could not load %1</source>
        <translation>Could not load %1</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>Could not save %1</translation>
    </message>
    <message>
        <source>The working copy %1 is unusable</source>
        <translation>The working copy %1 is unusable</translation>
    </message>
    <message>
        <source>Could not create the folder of the working copy %1: %2</source>
        <translation>Could not create the folder of the working copy %1: %2</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>the file is neither a binary property list nor UTF-8 text</source>
        <translation>the file is neither a binary property list nor UTF-8 text</translation>
    </message>
    <message>
        <source>the file is not a property list</source>
        <translation>the file is not a property list</translation>
    </message>
    <message>
        <source>the binary property list is broken: %1</source>
        <translation>the binary property list is broken: %1</translation>
    </message>
    <message>
        <source>it is too short</source>
        <translation>it is too short</translation>
    </message>
    <message>
        <source>its trailer gives impossible sizes</source>
        <translation>its trailer gives impossible sizes</translation>
    </message>
    <message>
        <source>its trailer names no top object</source>
        <translation>its trailer names no top object</translation>
    </message>
    <message>
        <source>its offset table lies outside the file</source>
        <translation>its offset table lies outside the file</translation>
    </message>
    <message>
        <source>object %1 lies outside the file</source>
        <translation>object %1 lies outside the file</translation>
    </message>
    <message>
        <source>an object contains itself</source>
        <translation>an object contains itself</translation>
    </message>
    <message>
        <source>object %1 has a number of an unknown size</source>
        <translation>object %1 has a number of an unknown size</translation>
    </message>
    <message>
        <source>object %1 is of an unknown kind</source>
        <translation>object %1 is of an unknown kind</translation>
    </message>
    <message>
        <source>object %1 runs past the objects</source>
        <translation>object %1 runs past the objects</translation>
    </message>
    <message>
        <source>object %1 has a broken length</source>
        <translation>object %1 has a broken length</translation>
    </message>
    <message>
        <source>object %1 refers to an object that does not exist</source>
        <translation>object %1 refers to an object that does not exist</translation>
    </message>
    <message>
        <source>the property list holds more than %1 values, far more than a preset</source>
        <translation>the property list holds more than %1 values, far more than a preset</translation>
    </message>
    <message>
        <source>the property list is nested deeper than a preset can be (more than %1 levels)</source>
        <translation>the property list is nested deeper than a preset can be (more than %1 levels)</translation>
    </message>
    <message>
        <source>the property list declares its own document type, which no preset does</source>
        <translation>the property list declares its own document type, which no preset does</translation>
    </message>
    <message>
        <source>the property list holds more than %1 elements, far more than a preset</source>
        <translation>the property list holds more than %1 elements, far more than a preset</translation>
    </message>
    <message>
        <source>the property list has %1 objects, far more than a preset (at most %2)</source>
        <translation>the property list has %1 objects, far more than a preset (at most %2)</translation>
    </message>
    <message>
        <source>the file is not a preset dictionary</source>
        <translation>the file is not a preset dictionary</translation>
    </message>
    <message>
        <source>the preset has no &quot;ButtonArray&quot;</source>
        <translation>the preset has no &quot;ButtonArray&quot;</translation>
    </message>
    <message>
        <source>&quot;ButtonArray&quot; is not an array</source>
        <translation>&quot;ButtonArray&quot; is not an array</translation>
    </message>
    <message>
        <source>&quot;ButtonArray&quot; has %1 controls instead of %2</source>
        <translation>&quot;ButtonArray&quot; has %1 controls instead of %2</translation>
    </message>
    <message>
        <source>%1 is not a dictionary</source>
        <translation>%1 is not a dictionary</translation>
    </message>
    <message>
        <source>&quot;GlobalValue&quot; is not a dictionary</source>
        <translation>&quot;GlobalValue&quot; is not a dictionary</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2, not a number</source>
        <translation>&quot;%1&quot; holds %2, not a number</translation>
    </message>
    <message>
        <source>an array</source>
        <translation>an array</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>a dictionary</translation>
    </message>
    <message>
        <source>a date</source>
        <translation>a date</translation>
    </message>
    <message>
        <source>data</source>
        <translation>data</translation>
    </message>
    <message>
        <source>a value of no number kind</source>
        <translation>a value of no number kind</translation>
    </message>
    <message>
        <source>global settings: %1</source>
        <translation>global settings: %1</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>the global settings are missing</source>
        <translation>the global settings are missing</translation>
    </message>
    <message>
        <source>%1 has BtnID %2 instead of %3</source>
        <translation>%1 has BtnID %2 instead of %3</translation>
    </message>
    <message>
        <source>%1 is none of %2</source>
        <translation>%1 is none of %2</translation>
    </message>
    <message>
        <source>%1 %2 is outside %3</source>
        <translation>%1 %2 is outside %3</translation>
    </message>
    <message>
        <source>0-%1 or none</source>
        <translation>0-%1 or none</translation>
    </message>
    <message>
        <source>%1-%2</source>
        <translation>%1-%2</translation>
    </message>
    <message>
        <source>channel %1 is outside 1-%2 and Global</source>
        <translation>channel %1 is outside 1-%2 and Global</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>too large (%1 bytes)</source>
        <translation>too large (%1 bytes)</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>&quot;keyboard&quot; is not a table</source>
        <translation>&quot;keyboard&quot; is not a table</translation>
    </message>
    <message>
        <source>keyboard.device is not &quot;VID:PID&quot; in hexadecimal</source>
        <translation>keyboard.device is not &quot;VID:PID&quot; in hexadecimal</translation>
    </message>
    <message>
        <source>keyboard.manufacturer is not three bytes 00-7f in hexadecimal (&quot;00 20 6b&quot;)</source>
        <translation>keyboard.manufacturer is not three bytes 00-7f in hexadecimal (&quot;00 20 6b&quot;)</translation>
    </message>
    <message>
        <source>keyboard.port is not a port name</source>
        <translation>keyboard.port is not a port name</translation>
    </message>
    <message>
        <source>Could not create %1: %2</source>
        <translation>Could not create %1: %2</translation>
    </message>
    <message>
        <source>%1; mend it, or forget it with &quot;padkbd use --reset&quot;</source>
        <translation>%1; mend it, or forget it with &quot;padkbd use --reset&quot;</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>Could not remove %1: %2</translation>
    </message>
    <message>
        <source>the settings file is damaged (%1); using the built-in keyboard</source>
        <translation>the settings file is damaged (%1); using the built-in keyboard</translation>
    </message>
    <message>
        <source>built in</source>
        <translation>built in</translation>
    </message>
    <message>
        <source>settings file</source>
        <translation>settings file</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>command line</translation>
    </message>
    <message>
        <source>read</source>
        <translation>read</translation>
    </message>
    <message>
        <source>sent to memory slot %1</source>
        <translation>sent to memory slot %1</translation>
    </message>
    <message>
        <source>stopped after %1 of %2 settings to memory slot %3</source>
        <translation>stopped after %1 of %2 settings to memory slot %3</translation>
    </message>
    <message>
        <source>USB %1</source>
        <translation>USB %1</translation>
    </message>
    <message>
        <source>USB %1, serial %2</source>
        <translation>USB %1, serial %2</translation>
    </message>
    <message>
        <source>MIDI port %1</source>
        <translation>MIDI port %1</translation>
    </message>
    <message>
        <source>simulated keyboard</source>
        <translation>simulated keyboard</translation>
    </message>
    <message>
        <source>simulated keyboard, state file %1</source>
        <translation>simulated keyboard, state file %1</translation>
    </message>
    <message>
        <source>from the keyboard</source>
        <translation>from the keyboard</translation>
    </message>
    <message>
        <source>default preset</source>
        <translation>default preset</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>history entry %1</translation>
    </message>
    <message>
        <source>%1, edited</source>
        <translation>%1, edited</translation>
    </message>
    <message>
        <source>Memory %1: not sent by padkbd on this computer</source>
        <translation>Memory %1: not sent by padkbd on this computer</translation>
    </message>
    <message>
        <source>Memory %1: last sent by padkbd on %2, %3</source>
        <translation>Memory %1: last sent by padkbd on %2, %3</translation>
    </message>
    <message>
        <source>Memory %1: a send by padkbd on %2, %3, stopped after %4 of %5 settings</source>
        <translation>Memory %1: a send by padkbd on %2, %3, stopped after %4 of %5 settings</translation>
    </message>
    <message>
        <source>%1, so what it holds is unknown; all %2 settings will be written</source>
        <translation>%1, so what it holds is unknown; all %2 settings will be written</translation>
    </message>
    <message>
        <source>%1; all %2 settings will be written</source>
        <translation>%1; all %2 settings will be written</translation>
    </message>
    <message>
        <source>%1; against that, %2</source>
        <translation>%1; against that, %2</translation>
    </message>
    <message>
        <source>nothing changes</source>
        <translation>nothing changes</translation>
    </message>
    <message>
        <source>1 setting changes</source>
        <translation>1 setting changes</translation>
    </message>
    <message>
        <source>%1 settings change</source>
        <translation>%1 settings change</translation>
    </message>
    <message>
        <source>another program is using the history (%1)</source>
        <translation>another program is using the history (%1)</translation>
    </message>
    <message>
        <source>the history database %1 is read-only (%2)</source>
        <translation>the history database %1 is read-only (%2)</translation>
    </message>
    <message>
        <source>the history database %1 cannot be opened (%2)</source>
        <translation>the history database %1 cannot be opened (%2)</translation>
    </message>
    <message>
        <source>the history could not be used: %1</source>
        <translation>the history could not be used: %1</translation>
    </message>
    <message>
        <source>the history database %1 was written by a newer padkbd, which this one does not write to</source>
        <translation>the history database %1 was written by a newer padkbd, which this one does not write to</translation>
    </message>
    <message>
        <source>the history database %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</source>
        <translation>the history database %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</translation>
    </message>
    <message>
        <source>the history database %1 is damaged (%2) and cannot be moved aside: %3</source>
        <translation>the history database %1 is damaged (%2) and cannot be moved aside: %3</translation>
    </message>
    <message>
        <source>The history database was damaged (%1); it was moved to %2 and a new one started.</source>
        <translation>The history database was damaged (%1); it was moved to %2 and a new one started.</translation>
    </message>
    <message>
        <source>The history database was upgraded for this padkbd; a copy of it as it was is kept in %1.</source>
        <translation>The history database was upgraded for this padkbd; a copy of it as it was is kept in %1.</translation>
    </message>
    <message>
        <source>there is no history entry %1</source>
        <translation>there is no history entry %1</translation>
    </message>
    <message>
        <source>history entry %1 cannot be used: %2</source>
        <translation>history entry %1 cannot be used: %2</translation>
    </message>
    <message>
        <source>its preset has an impossible size</source>
        <translation>its preset has an impossible size</translation>
    </message>
    <message>
        <source>its preset is damaged</source>
        <translation>its preset is damaged</translation>
    </message>
    <message>
        <source>%1: %2 %3 → %4</source>
        <translation>%1: %2 %3 → %4</translation>
    </message>
    <message>
        <source>%1: only in the first preset</source>
        <translation>%1: only in the first preset</translation>
    </message>
    <message>
        <source>%1: only in the second preset</source>
        <translation>%1: only in the second preset</translation>
    </message>
    <message>
        <source>global: %1 %2 → %3</source>
        <translation>global: %1 %2 → %3</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>%1 · not from these settings: the keyboard may hold others</source>
        <translation>%1 · not from these settings: the keyboard may hold others</translation>
    </message>
    <message>
        <source>control %1</source>
        <translation>control %1</translation>
    </message>
    <message>
        <source>note on %1 · velocity %2 · channel %3</source>
        <translation>note on %1 · velocity %2 · channel %3</translation>
    </message>
    <message>
        <source>note off %1 · channel %2</source>
        <translation>note off %1 · channel %2</translation>
    </message>
    <message>
        <source>pressure %1 · %2 · channel %3</source>
        <translation>pressure %1 · %2 · channel %3</translation>
    </message>
    <message>
        <source>controller %1 · value %2 · channel %3</source>
        <translation>controller %1 · value %2 · channel %3</translation>
    </message>
    <message>
        <source>controller %1 · step %2 · channel %3</source>
        <translation>controller %1 · step %2 · channel %3</translation>
    </message>
    <message>
        <source>NRPN %1 · value %2 · channel %3</source>
        <translation>NRPN %1 · value %2 · channel %3</translation>
    </message>
    <message>
        <source>RPN %1 · value %2 · channel %3</source>
        <translation>RPN %1 · value %2 · channel %3</translation>
    </message>
    <message>
        <source>program change %1 · channel %2</source>
        <translation>program change %1 · channel %2</translation>
    </message>
    <message>
        <source>channel pressure %1 · channel %2</source>
        <translation>channel pressure %1 · channel %2</translation>
    </message>
    <message>
        <source>pitch bend %1 · channel %2</source>
        <translation>pitch bend %1 · channel %2</translation>
    </message>
    <message>
        <source>Simulator state file %1 does not exist or is not a file</source>
        <translation>Simulator state file %1 does not exist or is not a file</translation>
    </message>
    <message>
        <source>Cannot read simulator state file %1</source>
        <translation>Cannot read simulator state file %1</translation>
    </message>
    <message>
        <source>Simulator state file %1 is too large (%2 bytes)</source>
        <translation>Simulator state file %1 is too large (%2 bytes)</translation>
    </message>
    <message>
        <source>Cannot open simulator state file %1</source>
        <translation>Cannot open simulator state file %1</translation>
    </message>
    <message>
        <source>Simulator state file %1 is damaged (line %2): %3</source>
        <translation>Simulator state file %1 is damaged (line %2): %3</translation>
    </message>
    <message>
        <source>Simulator state file %1 is damaged: it has no &quot;%2 1&quot; line</source>
        <translation>Simulator state file %1 is damaged: it has no &quot;%2 1&quot; line</translation>
    </message>
    <message>
        <source>contains a NUL byte</source>
        <translation>contains a NUL byte</translation>
    </message>
    <message>
        <source>expected &quot;%1 1&quot; first</source>
        <translation>expected &quot;%1 1&quot; first</translation>
    </message>
    <message>
        <source>unknown format version %1</source>
        <translation>unknown format version %1</translation>
    </message>
    <message>
        <source>expected &quot;usb VVVV:PPPP&quot;</source>
        <translation>expected &quot;usb VVVV:PPPP&quot;</translation>
    </message>
    <message>
        <source>expected &quot;manufacturer M1 M2 M3&quot; (hex, 00-7f)</source>
        <translation>expected &quot;manufacturer M1 M2 M3&quot; (hex, 00-7f)</translation>
    </message>
    <message>
        <source>expected &quot;gain N VV&quot;</source>
        <translation>expected &quot;gain N VV&quot;</translation>
    </message>
    <message>
        <source>gain number must be 0 to 7</source>
        <translation>gain number must be 0 to 7</translation>
    </message>
    <message>
        <source>gain value must be two hex digits, 00 to 7f</source>
        <translation>gain value must be two hex digits, 00 to 7f</translation>
    </message>
    <message>
        <source>expected &quot;slot S PP WW VV&quot;</source>
        <translation>expected &quot;slot S PP WW VV&quot;</translation>
    </message>
    <message>
        <source>slot must be 0 to 8</source>
        <translation>slot must be 0 to 8</translation>
    </message>
    <message>
        <source>PP and WW must be two hex digits each</source>
        <translation>PP and WW must be two hex digits each</translation>
    </message>
    <message>
        <source>no setting has parameter %1 and target %2</source>
        <translation>no setting has parameter %1 and target %2</translation>
    </message>
    <message>
        <source>value must be two hex digits, 00 to 7f</source>
        <translation>value must be two hex digits, 00 to 7f</translation>
    </message>
    <message>
        <source>unknown entry &quot;%1&quot;</source>
        <translation>unknown entry &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the MIDI port support (%1) cannot be loaded: %2</source>
        <translation>the MIDI port support (%1) cannot be loaded: %2</translation>
    </message>
    <message>
        <source>no device (it may have been unplugged)</source>
        <translation>no device (it may have been unplugged)</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>success</source>
        <translation>success</translation>
    </message>
    <message>
        <source>invalid parameter</source>
        <translation>invalid parameter</translation>
    </message>
    <message>
        <source>access denied</source>
        <translation>access denied</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>overflow</source>
        <translation>overflow</translation>
    </message>
    <message>
        <source>pipe error</source>
        <translation>pipe error</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>not supported</source>
        <translation>not supported</translation>
    </message>
    <message>
        <source>other error</source>
        <translation>other error</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be found (%1)</source>
        <translation>the controller&apos;s interface could not be found (%1)</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be opened (%1)</source>
        <translation>the controller&apos;s interface could not be opened (%1)</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be claimed (%1)</source>
        <translation>the controller&apos;s interface could not be claimed (%1)</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be examined (%1)</source>
        <translation>the controller&apos;s interface could not be examined (%1)</translation>
    </message>
    <message>
        <source>no MIDI port named &quot;%1&quot; found</source>
        <translation>no MIDI port named &quot;%1&quot; found</translation>
    </message>
    <message>
        <source>no controller found (USB %1)</source>
        <translation>no controller found (USB %1)</translation>
    </message>
    <message>
        <source>no controller found</source>
        <translation>no controller found</translation>
    </message>
    <message>
        <source>the write failed (%1)</source>
        <translation>the write failed (%1)</translation>
    </message>
    <message>
        <source>no reply (%1)</source>
        <translation>no reply (%1)</translation>
    </message>
    <message>
        <source>the reply is not the keyboard&apos;s handshake</source>
        <translation>the reply is not the keyboard&apos;s handshake</translation>
    </message>
    <message>
        <source>a reply of %1 bytes, %2 are needed</source>
        <translation>a reply of %1 bytes, %2 are needed</translation>
    </message>
    <message>
        <source>libusb could not start (%1)</source>
        <translation>libusb could not start (%1)</translation>
    </message>
    <message>
        <source>the USB devices could not be listed (%1)</source>
        <translation>the USB devices could not be listed (%1)</translation>
    </message>
    <message>
        <source>the ALSA sequencer cannot be opened</source>
        <translation>the ALSA sequencer cannot be opened</translation>
    </message>
    <message>
        <source>no JACK server is running</source>
        <translation>no JACK server is running</translation>
    </message>
    <message>
        <source>the ALSA sequencer cannot be opened and no JACK server is running</source>
        <translation>the ALSA sequencer cannot be opened and no JACK server is running</translation>
    </message>
    <message>
        <source>there are no settings to save yet</source>
        <translation>there are no settings to save yet</translation>
    </message>
    <message>
        <source>there are no settings to send yet</source>
        <translation>there are no settings to send yet</translation>
    </message>
    <message>
        <source>the keyboard did not take the handshake: %1</source>
        <translation>the keyboard did not take the handshake: %1</translation>
    </message>
    <message>
        <source>the controller did not answer the handshake after %1 attempts</source>
        <translation>the controller did not answer the handshake after %1 attempts</translation>
    </message>
    <message>
        <source>cancelled while waiting for the keyboard</source>
        <translation>cancelled while waiting for the keyboard</translation>
    </message>
    <message>
        <source>the read was cancelled</source>
        <translation>the read was cancelled</translation>
    </message>
    <message>
        <source>the controller stopped answering during the read, at %1</source>
        <translation>the controller stopped answering during the read, at %1</translation>
    </message>
    <message>
        <source>reading the controller failed: %1</source>
        <translation>reading the controller failed: %1</translation>
    </message>
    <message>
        <source>memory slot %1 is outside 1-9</source>
        <translation>memory slot %1 is outside 1-9</translation>
    </message>
    <message>
        <source>memory slot %1 is outside 1-9; nothing was sent</source>
        <translation>memory slot %1 is outside 1-9; nothing was sent</translation>
    </message>
    <message>
        <source>cancelled after %1 of %2 settings: memory slot %3 now holds some of the new settings and some of the old</source>
        <translation>cancelled after %1 of %2 settings: memory slot %3 now holds some of the new settings and some of the old</translation>
    </message>
    <message>
        <source>the send stopped, at %1</source>
        <translation>the send stopped, at %1</translation>
    </message>
    <message>
        <source>the send failed: %1</source>
        <translation>the send failed: %1</translation>
    </message>
    <message>
        <source>%1: the control has no record</source>
        <translation>%1: the control has no record</translation>
    </message>
    <message>
        <source>the gain list has %1 entries, 8 are needed</source>
        <translation>the gain list has %1 entries, 8 are needed</translation>
    </message>
    <message>
        <source>gain %1 is %2, outside 0-127</source>
        <translation>gain %1 is %2, outside 0-127</translation>
    </message>
    <message>
        <source>Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its memory slots and gains in STATEFILE between runs</source>
        <translation>Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its memory slots and gains in STATEFILE between runs</translation>
    </message>
    <message>
        <source>Use the keyboard with this USB vendor:product id (hex)</source>
        <translation>Use the keyboard with this USB vendor:product id (hex)</translation>
    </message>
    <message>
        <source>The keyboard&apos;s three SysEx manufacturer bytes, hex (&quot;00206b&quot;, &quot;00 20 6b&quot;)</source>
        <translation>The keyboard&apos;s three SysEx manufacturer bytes, hex (&quot;00206b&quot;, &quot;00 20 6b&quot;)</translation>
    </message>
    <message>
        <source>Reach the keyboard through the MIDI port whose name contains NAME (any case) instead of raw USB</source>
        <translation>Reach the keyboard through the MIDI port whose name contains NAME (any case) instead of raw USB</translation>
    </message>
    <message>
        <source>The MIDI service for --port: alsa or jack</source>
        <translation>The MIDI service for --port: alsa or jack</translation>
    </message>
    <message>
        <source>a USB id VID:PID in hexadecimal (like 1209:0001)</source>
        <translation>a USB id VID:PID in hexadecimal (like 1209:0001)</translation>
    </message>
    <message>
        <source>three hex bytes 00-7f (like 00206b)</source>
        <translation>three hex bytes 00-7f (like 00206b)</translation>
    </message>
    <message>
        <source>a part of the MIDI port&apos;s name</source>
        <translation>a part of the MIDI port&apos;s name</translation>
    </message>
    <message>
        <source>alsa or jack</source>
        <translation>alsa or jack</translation>
    </message>
    <message>
        <source>--simulate=STATEFILE needs a file name</source>
        <translation>--simulate=STATEFILE needs a file name</translation>
    </message>
    <message>
        <source>%1 takes %2, not %3</source>
        <translation>%1 takes %2, not %3</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 colour</source>
        <translation>%1 colour</translation>
    </message>
    <message>
        <source>bulk change of %1 pads</source>
        <translation>bulk change of %1 pads</translation>
    </message>
    <message>
        <source>paste onto %1</source>
        <translation>paste onto %1</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Load %1</source>
        <translation>Load %1</translation>
    </message>
    <message>
        <source>Open history entry %1</source>
        <translation>Open history entry %1</translation>
    </message>
    <message>
        <source>Read from keyboard</source>
        <translation>Read from keyboard</translation>
    </message>
    <message>
        <source>another program is using the library&apos;s index (%1)</source>
        <translation>another program is using the library&apos;s index (%1)</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 cannot be opened (%2)</source>
        <translation>the library&apos;s index %1 cannot be opened (%2)</translation>
    </message>
    <message>
        <source>the library&apos;s index could not be used: %1</source>
        <translation>the library&apos;s index could not be used: %1</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 was written by a newer padkbd, which this one does not write to</source>
        <translation>the library&apos;s index %1 was written by a newer padkbd, which this one does not write to</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</source>
        <translation>the library&apos;s index %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 is damaged (%2) and cannot be moved aside: %3</source>
        <translation>the library&apos;s index %1 is damaged (%2) and cannot be moved aside: %3</translation>
    </message>
    <message>
        <source>The library&apos;s index was damaged (%1); it was moved to %2 and made anew from the library&apos;s folders.</source>
        <translation>The library&apos;s index was damaged (%1); it was moved to %2 and made anew from the library&apos;s folders.</translation>
    </message>
    <message>
        <source>there is no preset named &quot;%1&quot; in the library</source>
        <translation>there is no preset named &quot;%1&quot; in the library</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names more than one preset of the library: %2</source>
        <translation>&quot;%1&quot; names more than one preset of the library: %2</translation>
    </message>
    <message>
        <source>%1 is already in the library, with other contents</source>
        <translation>%1 is already in the library, with other contents</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a tag: a tag has 1 to 64 characters, no line break or comma, and does not start with + or -</source>
        <translation>&quot;%1&quot; is not a tag: a tag has 1 to 64 characters, no line break or comma, and does not start with + or -</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>%1 is already a library folder</source>
        <translation>%1 is already a library folder</translation>
    </message>
    <message>
        <source>%1 is not one of the library&apos;s folders</source>
        <translation>%1 is not one of the library&apos;s folders</translation>
    </message>
    <message>
        <source>the library&apos;s own folder %1 cannot be removed</source>
        <translation>the library&apos;s own folder %1 cannot be removed</translation>
    </message>
    <message>
        <source>%1 is not a preset: %2</source>
        <translation>%1 is not a preset: %2</translation>
    </message>
    <message>
        <source>%1 is not a set of presets: %2</source>
        <translation>%1 is not a set of presets: %2</translation>
    </message>
    <message>
        <source>expected &quot;%1&quot; first</source>
        <translation>expected &quot;%1&quot; first</translation>
    </message>
    <message>
        <source>expected &quot;slot N HASH PATH&quot;</source>
        <translation>expected &quot;slot N HASH PATH&quot;</translation>
    </message>
    <message>
        <source>the memory slot must be 1 to 9</source>
        <translation>the memory slot must be 1 to 9</translation>
    </message>
    <message>
        <source>memory %1 is named twice</source>
        <translation>memory %1 is named twice</translation>
    </message>
    <message>
        <source>the hash must be 32 hexadecimal digits</source>
        <translation>the hash must be 32 hexadecimal digits</translation>
    </message>
    <message>
        <source>the path must be relative, inside a library folder</source>
        <translation>the path must be relative, inside a library folder</translation>
    </message>
    <message>
        <source>it fills no memory slot</source>
        <translation>it fills no memory slot</translation>
    </message>
    <message>
        <source>Memory %1: %2 has changed since the set named it</source>
        <translation>Memory %1: %2 has changed since the set named it</translation>
    </message>
    <message>
        <source>Memory %1: %2 is no longer in the library</source>
        <translation>Memory %1: %2 is no longer in the library</translation>
    </message>
    <message>
        <source>Memory %1: %2 cannot be sent: %3</source>
        <translation>Memory %1: %2 cannot be sent: %3</translation>
    </message>
    <message>
        <source>Memory %1 of %2 · %3 of %4</source>
        <translation>Memory %1 of %2 · %3 of %4</translation>
    </message>
</context>
<context>
    <name>padkbd::editor</name>
    <message>
        <source>This user may not open the keyboard (USB id %1). Keyboard → Keyboard… shows the udev rule that allows it and how to install it; then plug the keyboard in again.</source>
        <translation>This user may not open the keyboard (USB id %1). Keyboard → Keyboard… shows the udev rule that allows it and how to install it; then plug the keyboard in again.</translation>
    </message>
    <message>
        <source>Another program holds the keyboard: close it (or another padkbd), then try again.</source>
        <translation>Another program holds the keyboard: close it (or another padkbd), then try again.</translation>
    </message>
    <message>
        <source>No MIDI port named &quot;%1&quot; was found. Is the keyboard plugged in? Keyboard → Keyboard… lists the MIDI ports and chooses another.</source>
        <translation>No MIDI port named &quot;%1&quot; was found. Is the keyboard plugged in? Keyboard → Keyboard… lists the MIDI ports and chooses another.</translation>
    </message>
    <message>
        <source>No keyboard with USB id %1 was found. Is it plugged in? Keyboard → Keyboard… lists the USB MIDI devices and chooses another.</source>
        <translation>No keyboard with USB id %1 was found. Is it plugged in? Keyboard → Keyboard… lists the USB MIDI devices and chooses another.</translation>
    </message>
    <message>
        <source>The history could not keep this read: %1.</source>
        <translation>The history could not keep this read: %1.</translation>
    </message>
    <message>
        <source>The history could not keep this send: %1.</source>
        <translation>The history could not keep this send: %1.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::DeviceWorker</name>
    <message>
        <source>Listening could not start: %1</source>
        <translation>Listening could not start: %1</translation>
    </message>
    <message>
        <source>Listening stopped: the keyboard went away</source>
        <translation>Listening stopped: the keyboard went away</translation>
    </message>
    <message>
        <source>Listening stopped: %1</source>
        <translation>Listening stopped: %1</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::DocumentActions</name>
    <message>
        <source>%1 would drop the changes made since the preset was last loaded, saved, read or sent.</source>
        <translation>%1 would drop the changes made since the preset was last loaded, saved, read or sent.</translation>
    </message>
    <message>
        <source>The default preset</source>
        <translation>The default preset</translation>
    </message>
    <message>
        <source>The default preset was not loaded</source>
        <translation>The default preset was not loaded</translation>
    </message>
    <message>
        <source>Loading a preset</source>
        <translation>Loading a preset</translation>
    </message>
    <message>
        <source>The preset was not loaded</source>
        <translation>The preset was not loaded</translation>
    </message>
    <message>
        <source>The preset was not saved</source>
        <translation>The preset was not saved</translation>
    </message>
    <message>
        <source>The names were not exported</source>
        <translation>The names were not exported</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::EntryDialog</name>
    <message>
        <source>Nothing can be opened while the keyboard is read or in bulk mode.</source>
        <translation>Nothing can be opened while the keyboard is read or in bulk mode.</translation>
    </message>
    <message>
        <source>The preset was not opened</source>
        <translation>The preset was not opened</translation>
    </message>
    <message>
        <source>Opened %1 in the window; Undo brings back what was there.</source>
        <translation>Opened %1 in the window; Undo brings back what was there.</translation>
    </message>
    <message>
        <source>The presets were not compared</source>
        <translation>The presets were not compared</translation>
    </message>
    <message>
        <source>No difference between %1 and the preset shown.</source>
        <translation>No difference between %1 and the preset shown.</translation>
    </message>
    <message>
        <source>1 setting differs between %1 and the preset shown (%1 → shown).</source>
        <translation>1 setting differs between %1 and the preset shown (%1 → shown).</translation>
    </message>
    <message>
        <source>%1 settings differ between %2 and the preset shown (%2 → shown).</source>
        <translation>%1 settings differ between %2 and the preset shown (%2 → shown).</translation>
    </message>
    <message>
        <source>Compare %1</source>
        <translation>Compare %1</translation>
    </message>
    <message>
        <source>The preset was not saved</source>
        <translation>The preset was not saved</translation>
    </message>
    <message>
        <source>Saved %1 as %2.</source>
        <translation>Saved %1 as %2.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::GainController</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Gains</source>
        <translation>Gains</translation>
    </message>
    <message>
        <source>Gain of each of the eight inputs (0 to 127)</source>
        <translation>Gain of each of the eight inputs (0 to 127)</translation>
    </message>
    <message>
        <source>Gain %1</source>
        <translation>Gain %1</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::HistoryDialog</name>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>History</source>
        <translation>History</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>Memory %1</translation>
    </message>
    <message>
        <source>read</source>
        <translation>read</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>&amp;Slot:</source>
        <translation>&amp;Slot:</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Kind:</translation>
    </message>
    <message>
        <source>When</source>
        <translation>When</translation>
    </message>
    <message>
        <source>What</source>
        <translation>What</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>history entry %1</translation>
    </message>
    <message>
        <source>Note…</source>
        <translation>Note…</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Note on History Entry %1</source>
        <translation>Note on History Entry %1</translation>
    </message>
    <message>
        <source>A note on this entry (&quot;before the festival&quot;); empty removes it:</source>
        <translation>A note on this entry (&quot;before the festival&quot;); empty removes it:</translation>
    </message>
    <message>
        <source>The note on history entry %1 was kept.</source>
        <translation>The note on history entry %1 was kept.</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>&amp;Copy Entry Number</source>
        <translation>&amp;Copy Entry Number</translation>
    </message>
    <message>
        <source>Copies the chosen entry&apos;s number, which padkbd history show takes.</source>
        <translation>Copies the chosen entry&apos;s number, which padkbd history show takes.</translation>
    </message>
    <message>
        <source>Copied the number of history entry %1.</source>
        <translation>Copied the number of history entry %1.</translation>
    </message>
    <message>
        <source>Keep in Library…</source>
        <translation>Keep in Library…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardActions</name>
    <message>
        <source> (1 setting from the keyboard was outside its list and set to the first entry)</source>
        <translation> (1 setting from the keyboard was outside its list and set to the first entry)</translation>
    </message>
    <message>
        <source> (%1 settings from the keyboard were outside their lists and set to the first entry)</source>
        <translation> (%1 settings from the keyboard were outside their lists and set to the first entry)</translation>
    </message>
    <message>
        <source>Set to the first entry of their lists:</source>
        <translation>Set to the first entry of their lists:</translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation>Global settings</translation>
    </message>
    <message>
        <source>%1: %2 byte %3</source>
        <translation>%1: %2 byte %3</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>● Keyboard connected</source>
        <translation>● Keyboard connected</translation>
    </message>
    <message>
        <source>○ No keyboard</source>
        <translation>○ No keyboard</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Cancelling…</translation>
    </message>
    <message>
        <source>Looking for the keyboard…</source>
        <translation>Looking for the keyboard…</translation>
    </message>
    <message>
        <source>Sending to memory slot %1…</source>
        <translation>Sending to memory slot %1…</translation>
    </message>
    <message>
        <source>Waiting for the keyboard, attempt %1 of %2</source>
        <translation>Waiting for the keyboard, attempt %1 of %2</translation>
    </message>
    <message>
        <source>Reading from the keyboard… %1/%2</source>
        <translation>Reading from the keyboard… %1/%2</translation>
    </message>
    <message>
        <source>Sending to memory slot %1… %2/%3</source>
        <translation>Sending to memory slot %1… %2/%3</translation>
    </message>
    <message>
        <source>Reading cancelled; nothing changed.</source>
        <translation>Reading cancelled; nothing changed.</translation>
    </message>
    <message>
        <source>Sending cancelled.</source>
        <translation>Sending cancelled.</translation>
    </message>
    <message>
        <source> %1 of %2 settings reached memory slot %3, which now holds a mix of old and new settings.</source>
        <translation> %1 of %2 settings reached memory slot %3, which now holds a mix of old and new settings.</translation>
    </message>
    <message>
        <source>Sending the gains…</source>
        <translation>Sending the gains…</translation>
    </message>
    <message>
        <source>Reading from the keyboard</source>
        <translation>Reading from the keyboard</translation>
    </message>
    <message>
        <source>The preset was not sent</source>
        <translation>The preset was not sent</translation>
    </message>
    <message>
        <source> Written to memory slot %1.</source>
        <translation> Written to memory slot %1.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardController</name>
    <message>
        <source>can be opened</source>
        <translation>can be opened</translation>
    </message>
    <message>
        <source>this user may not open it</source>
        <translation>this user may not open it</translation>
    </message>
    <message>
        <source>cannot be opened (%1)</source>
        <translation>cannot be opened (%1)</translation>
    </message>
    <message>
        <source>in use, %1</source>
        <translation>in use, %1</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>USB MIDI devices</source>
        <translation>USB MIDI devices</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Bus, port</source>
        <translation>Bus, port</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>In use</source>
        <translation>In use</translation>
    </message>
    <message>
        <source>USB device:</source>
        <translation>USB device:</translation>
    </message>
    <message>
        <source>Manufacturer bytes:</source>
        <translation>Manufacturer bytes:</translation>
    </message>
    <message>
        <source>Settings file:</source>
        <translation>Settings file:</translation>
    </message>
    <message>
        <source>Choose a keyboard</source>
        <translation>Choose a keyboard</translation>
    </message>
    <message>
        <source>VID:PID, hexadecimal</source>
        <translation>VID:PID, hexadecimal</translation>
    </message>
    <message>
        <source>three bytes 00-7f, hexadecimal</source>
        <translation>three bytes 00-7f, hexadecimal</translation>
    </message>
    <message>
        <source>USB device (VID:PID):</source>
        <translation>USB device (VID:PID):</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Use this keyboard</source>
        <translation>Use this keyboard</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>(no name)</translation>
    </message>
    <message>
        <source>%1, by %2</source>
        <translation>%1, by %2</translation>
    </message>
    <message>
        <source>bus %1, port %2</source>
        <translation>bus %1, port %2</translation>
    </message>
    <message>
        <source>The USB devices cannot be listed: %1.</source>
        <translation>The USB devices cannot be listed: %1.</translation>
    </message>
    <message>
        <source>No USB MIDI device found. Is the keyboard plugged in and switched on? Its ids can still be typed below.</source>
        <translation>No USB MIDI device found. Is the keyboard plugged in and switched on? Its ids can still be typed below.</translation>
    </message>
    <message>
        <source>This user may not open %1. To allow it, run these two commands, then unplug the device and plug it in again:</source>
        <translation>This user may not open %1. To allow it, run these two commands, then unplug the device and plug it in again:</translation>
    </message>
    <message>
        <source>Another program holds %1 (a MIDI application, for example); close it to use the device here.</source>
        <translation>Another program holds %1 (a MIDI application, for example); close it to use the device here.</translation>
    </message>
    <message>
        <source> (none yet)</source>
        <translation> (none yet)</translation>
    </message>
    <message>
        <source> Mend or delete the file to store a choice here.</source>
        <translation> Mend or delete the file to store a choice here.</translation>
    </message>
    <message>
        <source>“%1” is not a USB device id: write the vendor and product id in hexadecimal, up to four digits each, as VID:PID.</source>
        <translation>“%1” is not a USB device id: write the vendor and product id in hexadecimal, up to four digits each, as VID:PID.</translation>
    </message>
    <message>
        <source>“%1” are not three manufacturer bytes: write six hexadecimal digits, each byte 00 to 7f.</source>
        <translation>“%1” are not three manufacturer bytes: write six hexadecimal digits, each byte 00 to 7f.</translation>
    </message>
    <message>
        <source>The choice was not stored, and the editor still uses %1: %2</source>
        <translation>The choice was not stored, and the editor still uses %1: %2</translation>
    </message>
    <message>
        <source>Stored. Looking for %1…</source>
        <translation>Stored. Looking for %1…</translation>
    </message>
    <message>
        <source>Stored. The next send goes to %1%2. The window still shows the settings it had; sending writes them to this keyboard.</source>
        <translation>Stored. The next send goes to %1%2. The window still shows the settings it had; sending writes them to this keyboard.</translation>
    </message>
    <message>
        <source>, which is not connected now</source>
        <translation>, which is not connected now</translation>
    </message>
    <message>
        <source>MIDI ports</source>
        <translation>MIDI ports</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>MIDI port:</source>
        <translation>MIDI port:</translation>
    </message>
    <message>
        <source>empty: raw USB</source>
        <translation>empty: raw USB</translation>
    </message>
    <message>
        <source>Pick a device or a port above, or type them. With a MIDI port named (any part of its name), the keyboard is reached through it and music programs keep it; with none, by raw USB. The manufacturer bytes are the three bytes after F0 in the keyboard&apos;s settings messages.</source>
        <translation>Pick a device or a port above, or type them. With a MIDI port named (any part of its name), the keyboard is reached through it and music programs keep it; with none, by raw USB. The manufacturer bytes are the three bytes after F0 in the keyboard&apos;s settings messages.</translation>
    </message>
    <message>
        <source>in and out</source>
        <translation>in and out</translation>
    </message>
    <message>
        <source>in only</source>
        <translation>in only</translation>
    </message>
    <message>
        <source>out only</source>
        <translation>out only</translation>
    </message>
    <message>
        <source>The MIDI ports cannot be listed: %1.</source>
        <translation>The MIDI ports cannot be listed: %1.</translation>
    </message>
    <message>
        <source>No MIDI ports (%1).</source>
        <translation>No MIDI ports (%1).</translation>
    </message>
    <message>
        <source>Through %1.</source>
        <translation>Through %1.</translation>
    </message>
    <message>
        <source>none: raw USB</source>
        <translation>none: raw USB</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::LibraryModel</name>
    <message>
        <source>Tags: %1</source>
        <translation>Tags: %1</translation>
    </message>
    <message>
        <source>The same preset as %1</source>
        <translation>The same preset as %1</translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>Its folder is not there now.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::LibraryPane</name>
    <message>
        <source>Library</source>
        <translation>Library</translation>
    </message>
    <message>
        <source>Search names, tags and notes</source>
        <translation>Search names, tags and notes</translation>
    </message>
    <message>
        <source>All tags</source>
        <translation>All tags</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>Favourites</translation>
    </message>
    <message>
        <source>By name</source>
        <translation>By name</translation>
    </message>
    <message>
        <source>By date</source>
        <translation>By date</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favourite</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>Add Folder…</translation>
    </message>
    <message>
        <source>Import Files…</source>
        <translation>Import Files…</translation>
    </message>
    <message>
        <source>&amp;Library</source>
        <translation>&amp;Library</translation>
    </message>
    <message>
        <source>Looking at the library&apos;s folders…</source>
        <translation>Looking at the library&apos;s folders…</translation>
    </message>
    <message>
        <source>Looking at the library&apos;s folders… %1 of %2</source>
        <translation>Looking at the library&apos;s folders… %1 of %2</translation>
    </message>
    <message>
        <source>Not there now, its presets kept: %1</source>
        <translation>Not there now, its presets kept: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n presets</source>
        <translation>
            <numerusform>%n preset</numerusform>
            <numerusform>%n presets</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n presets</source>
        <translation>
            <numerusform>%1 of %n preset</numerusform>
            <numerusform>%1 of %n presets</numerusform>
        </translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>Its folder is not there now.</translation>
    </message>
    <message>
        <source>Nothing can be opened while the keyboard is read or in bulk mode.</source>
        <translation>Nothing can be opened while the keyboard is read or in bulk mode.</translation>
    </message>
    <message>
        <source>Opened %1 in the window; Undo brings back what was there.</source>
        <translation>Opened %1 in the window; Undo brings back what was there.</translation>
    </message>
    <message>
        <source>%1 is in the library already.</source>
        <translation>%1 is in the library already.</translation>
    </message>
    <message numerus="yes">
        <source>%n presets imported.</source>
        <translation>
            <numerusform>%n preset imported.</numerusform>
            <numerusform>%n presets imported.</numerusform>
        </translation>
    </message>
    <message>
        <source>Some files were not imported</source>
        <translation>Some files were not imported</translation>
    </message>
    <message>
        <source>A preset&apos;s name cannot be empty, start with a dot or hold a /.</source>
        <translation>A preset&apos;s name cannot be empty, start with a dot or hold a /.</translation>
    </message>
    <message>
        <source>Kept in the library as %1.</source>
        <translation>Kept in the library as %1.</translation>
    </message>
    <message>
        <source>New preset</source>
        <translation>New preset</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MainWindowController</name>
    <message>
        <source>%1[*] — padkbd</source>
        <translation>%1[*] — padkbd</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>The settings file is damaged</source>
        <translation>The settings file is damaged</translation>
    </message>
    <message>
        <source>

To choose another keyboard, mend or delete the file, then open Keyboard → Keyboard… in the menu.</source>
        <translation>

To choose another keyboard, mend or delete the file, then open Keyboard → Keyboard… in the menu.</translation>
    </message>
    <message>
        <source>Closing the window</source>
        <translation>Closing the window</translation>
    </message>
    <message>
        <source>from the keyboard (firmware %1)</source>
        <translation>from the keyboard (firmware %1)</translation>
    </message>
    <message>
        <source>sent to memory slot %1</source>
        <translation>sent to memory slot %1</translation>
    </message>
    <message>
        <source>default preset</source>
        <translation>default preset</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>history entry %1</translation>
    </message>
    <message>
        <source>About padkbd</source>
        <translation>About padkbd</translation>
    </message>
    <message>
        <source>The log folder cannot be shown</source>
        <translation>The log folder cannot be shown</translation>
    </message>
    <message>
        <source>No file manager opened the folder. The log is in %1.</source>
        <translation>No file manager opened the folder. The log is in %1.</translation>
    </message>
    <message>
        <source>Save to &amp;Library…</source>
        <translation>Save to &amp;Library…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MemorySlotsDialog</name>
    <message>
        <source>Memory Slots</source>
        <translation>Memory Slots</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Pads</source>
        <translation>Pads</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>Memory %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Send Again</source>
        <translation>Send Again</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>What padkbd sent to the memory slots of the keyboard %1:</source>
        <translation>What padkbd sent to the memory slots of the keyboard %1:</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>A send of %1 stopped after %2 of %3 settings.</source>
        <translation>A send of %1 stopped after %2 of %3 settings.</translation>
    </message>
    <message>
        <source>send stopped (%1/%2)</source>
        <translation>send stopped (%1/%2)</translation>
    </message>
    <message>
        <source>Keep in Library…</source>
        <translation>Keep in Library…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MessageController</name>
    <message>
        <source>Cancelling…</source>
        <translation>Cancelling…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::PlayController</name>
    <message>
        <source>Click a pad, knob or button to edit it; with Ctrl held the mouse plays it on the simulated keyboard, and the wheel turns a knob</source>
        <translation>Click a pad, knob or button to edit it; with Ctrl held the mouse plays it on the simulated keyboard, and the wheel turns a knob</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>Listen</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>Hear what the keyboard sends while it is played</source>
        <translation>Hear what the keyboard sends while it is played</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Hold the list still; what comes meanwhile is added on resuming</source>
        <translation>Hold the list still; what comes meanwhile is added on resuming</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Not listening.</source>
        <translation>Not listening.</translation>
    </message>
    <message>
        <source>Listening takes the keyboard from other programs until you stop.</source>
        <translation>Listening takes the keyboard from other programs until you stop.</translation>
    </message>
    <message>
        <source>Listening: play the keyboard.</source>
        <translation>Listening: play the keyboard.</translation>
    </message>
    <message>
        <source>Play pads on the keyboard to choose them; Esc stops.</source>
        <translation>Play pads on the keyboard to choose them; Esc stops.</translation>
    </message>
    <message>
        <source>Play a control on the keyboard to choose it; Esc stops.</source>
        <translation>Play a control on the keyboard to choose it; Esc stops.</translation>
    </message>
    <message>
        <source>Not chosen: %1</source>
        <translation>Not chosen: %1</translation>
    </message>
    <message>
        <source>%1 is not a pad: bulk mode chooses pads only.</source>
        <translation>%1 is not a pad: bulk mode chooses pads only.</translation>
    </message>
    <message>
        <source>%1 chosen.</source>
        <translation>%1 chosen.</translation>
    </message>
    <message>
        <source>%1 no longer chosen.</source>
        <translation>%1 no longer chosen.</translation>
    </message>
    <message>
        <source>%1 chosen by playing it.</source>
        <translation>%1 chosen by playing it.</translation>
    </message>
    <message>
        <source>%1 chosen by playing it; %2 send the same.</source>
        <translation>%1 chosen by playing it; %2 send the same.</translation>
    </message>
    <message>
        <source>The monitor&apos;s lines were not saved</source>
        <translation>The monitor&apos;s lines were not saved</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) saved in %1.</source>
        <translation>
            <numerusform>%n line saved in %1.</numerusform>
            <numerusform>%n lines saved in %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Listening takes the keyboard from other programs: press Listen to start.</source>
        <translation>Listening takes the keyboard from other programs: press Listen to start.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::SetView</name>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>Last sent there</source>
        <translation>Last sent there</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>Memory %1</translation>
    </message>
    <message>
        <source>New</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Open…</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Clear Slot</source>
        <translation>Clear Slot</translation>
    </message>
    <message>
        <source>Send Set…</source>
        <translation>Send Set…</translation>
    </message>
    <message>
        <source>Drop presets from the library onto the memory slots they go to.</source>
        <translation>Drop presets from the library onto the memory slots they go to.</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>&amp;Set</translation>
    </message>
    <message>
        <source>the new set</source>
        <translation>the new set</translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>Its folder is not there now.</translation>
    </message>
    <message>
        <source>Memory %1: %2.</source>
        <translation>Memory %1: %2.</translation>
    </message>
    <message>
        <source>The set was not opened</source>
        <translation>The set was not opened</translation>
    </message>
    <message>
        <source>The set was not saved</source>
        <translation>The set was not saved</translation>
    </message>
    <message>
        <source>Saved as %1.</source>
        <translation>Saved as %1.</translation>
    </message>
    <message>
        <source>An empty set</source>
        <translation>An empty set</translation>
    </message>
    <message>
        <source>Set: %1</source>
        <translation>Set: %1</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>%1 (not in the library)</source>
        <translation>%1 (not in the library)</translation>
    </message>
    <message>
        <source>%1 (changed since the set named it)</source>
        <translation>%1 (changed since the set named it)</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>send stopped (%1/%2)</source>
        <translation>send stopped (%1/%2)</translation>
    </message>
    <message>
        <source>The set is empty: drop presets from the library onto its rows.</source>
        <translation>The set is empty: drop presets from the library onto its rows.</translation>
    </message>
    <message>
        <source>The keyboard is busy; send the set when it is done.</source>
        <translation>The keyboard is busy; send the set when it is done.</translation>
    </message>
    <message>
        <source>Memory %1: %2</source>
        <translation>Memory %1: %2</translation>
    </message>
    <message>
        <source>The set was not sent</source>
        <translation>The set was not sent</translation>
    </message>
    <message>
        <source>Nothing was sent: the set names presets that changed or are gone since it was made.

%1</source>
        <translation>Nothing was sent: the set names presets that changed or are gone since it was made.

%1</translation>
    </message>
    <message>
        <source>Nothing was sent.</source>
        <translation>Nothing was sent.</translation>
    </message>
    <message>
        <source>%1 already hold their presets of this set, written whole. Skip them?</source>
        <translation>%1 already hold their presets of this set, written whole. Skip them?</translation>
    </message>
    <message numerus="yes">
        <source>Send %1 to %n memory slots?</source>
        <translation>
            <numerusform>Send %1 to %n memory slot?</numerusform>
            <numerusform>Send %1 to %n memory slots?</numerusform>
        </translation>
    </message>
    <message>
        <source>Sending the set…</source>
        <translation>Sending the set…</translation>
    </message>
    <message>
        <source>Looking for the keyboard…</source>
        <translation>Looking for the keyboard…</translation>
    </message>
    <message>
        <source>The set was sent: %1.</source>
        <translation>The set was sent: %1.</translation>
    </message>
    <message>
        <source>Sending the set was cancelled.</source>
        <translation>Sending the set was cancelled.</translation>
    </message>
    <message>
        <source>Sending the set failed.</source>
        <translation>Sending the set failed.</translation>
    </message>
    <message>
        <source> Memory %1 got %2 of %3 settings and holds a mix of old and new.</source>
        <translation> Memory %1 got %2 of %3 settings and holds a mix of old and new.</translation>
    </message>
    <message>
        <source> Written whole: %1; sending the set again offers to skip them.</source>
        <translation> Written whole: %1; sending the set again offers to skip them.</translation>
    </message>
    <message>
        <source> Skipped: %1.</source>
        <translation> Skipped: %1.</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::ViewController</name>
    <message>
        <source>批量参数</source>
        <translation>Bulk settings</translation>
    </message>
    <message>
        <source>退出批量模式</source>
        <translation>Leave bulk mode</translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation>Bulk change…</translation>
    </message>
    <message>
        <source>Pads chosen: %1</source>
        <translation>Pads chosen: %1</translation>
    </message>
</context>
</TS>
