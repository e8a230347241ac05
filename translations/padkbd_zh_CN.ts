<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
USB-MIDI 打击垫键盘的设置编辑器。

Qt %2 · libusb %3 · libplist %4 · RtMidi %5

设置：%6
数据：%7
日志与历史记录：%8</translation>
    </message>
</context>
<context>
    <name>Controller</name>
    <message>
        <source>Bank Select</source>
        <translation>音色库选择</translation>
    </message>
    <message>
        <source>Modulation</source>
        <translation>调制</translation>
    </message>
    <message>
        <source>Breath Controller</source>
        <translation>呼吸控制器</translation>
    </message>
    <message>
        <source>Foot Controller</source>
        <translation>脚踏控制器</translation>
    </message>
    <message>
        <source>Portamento Time</source>
        <translation>滑音时间</translation>
    </message>
    <message>
        <source>Data Entry</source>
        <translation>数据输入</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>平衡</translation>
    </message>
    <message>
        <source>Pan</source>
        <translation>声像</translation>
    </message>
    <message>
        <source>Expression</source>
        <translation>表情</translation>
    </message>
    <message>
        <source>Effect Control 1</source>
        <translation>效果控制 1</translation>
    </message>
    <message>
        <source>Effect Control 2</source>
        <translation>效果控制 2</translation>
    </message>
    <message>
        <source>General Purpose 1</source>
        <translation>通用控制 1</translation>
    </message>
    <message>
        <source>General Purpose 2</source>
        <translation>通用控制 2</translation>
    </message>
    <message>
        <source>General Purpose 3</source>
        <translation>通用控制 3</translation>
    </message>
    <message>
        <source>General Purpose 4</source>
        <translation>通用控制 4</translation>
    </message>
    <message>
        <source>Sustain Pedal</source>
        <translation>延音踏板</translation>
    </message>
    <message>
        <source>Portamento On/Off</source>
        <translation>滑音开/关</translation>
    </message>
    <message>
        <source>Sostenuto</source>
        <translation>持音踏板</translation>
    </message>
    <message>
        <source>Soft Pedal</source>
        <translation>弱音踏板</translation>
    </message>
    <message>
        <source>Legato Footswitch</source>
        <translation>连奏踏板</translation>
    </message>
    <message>
        <source>Hold 2</source>
        <translation>保持 2</translation>
    </message>
    <message>
        <source>Sound Variation</source>
        <translation>音色变化</translation>
    </message>
    <message>
        <source>Resonance</source>
        <translation>共振</translation>
    </message>
    <message>
        <source>Release Time</source>
        <translation>释放时间</translation>
    </message>
    <message>
        <source>Attack Time</source>
        <translation>起音时间</translation>
    </message>
    <message>
        <source>Cutoff</source>
        <translation>截止频率</translation>
    </message>
    <message>
        <source>Decay Time</source>
        <translation>衰减时间</translation>
    </message>
    <message>
        <source>Vibrato Rate</source>
        <translation>颤音速率</translation>
    </message>
    <message>
        <source>Vibrato Depth</source>
        <translation>颤音深度</translation>
    </message>
    <message>
        <source>Vibrato Delay</source>
        <translation>颤音延迟</translation>
    </message>
    <message>
        <source>Sound Controller 10</source>
        <translation>声音控制 10</translation>
    </message>
    <message>
        <source>General Purpose 5</source>
        <translation>通用控制 5</translation>
    </message>
    <message>
        <source>General Purpose 6</source>
        <translation>通用控制 6</translation>
    </message>
    <message>
        <source>General Purpose 7</source>
        <translation>通用控制 7</translation>
    </message>
    <message>
        <source>General Purpose 8</source>
        <translation>通用控制 8</translation>
    </message>
    <message>
        <source>Portamento Control</source>
        <translation>滑音控制</translation>
    </message>
    <message>
        <source>High Resolution Velocity</source>
        <translation>高精度力度</translation>
    </message>
    <message>
        <source>Reverb</source>
        <translation>混响</translation>
    </message>
    <message>
        <source>Tremolo</source>
        <translation>震音</translation>
    </message>
    <message>
        <source>Chorus</source>
        <translation>合唱</translation>
    </message>
    <message>
        <source>Detune</source>
        <translation>失谐</translation>
    </message>
    <message>
        <source>Phaser</source>
        <translation>移相</translation>
    </message>
    <message>
        <source>Data Increment</source>
        <translation>数据增加</translation>
    </message>
    <message>
        <source>Data Decrement</source>
        <translation>数据减少</translation>
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
        <translation>全部静音</translation>
    </message>
    <message>
        <source>Reset All Controllers</source>
        <translation>重置全部控制器</translation>
    </message>
    <message>
        <source>Local Control</source>
        <translation>本地控制</translation>
    </message>
    <message>
        <source>All Notes Off</source>
        <translation>全部音符关闭</translation>
    </message>
    <message>
        <source>Omni Off</source>
        <translation>全通道关</translation>
    </message>
    <message>
        <source>Omni On</source>
        <translation>全通道开</translation>
    </message>
    <message>
        <source>Mono On</source>
        <translation>单音开</translation>
    </message>
    <message>
        <source>Poly On</source>
        <translation>复音开</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>padkbd presets (*.padkbd)</source>
        <translation>padkbd 预设 (*.padkbd)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Untitle.padkbd</source>
        <translation>未命名.padkbd</translation>
    </message>
    <message>
        <source>Load a preset</source>
        <translation>加载预设</translation>
    </message>
    <message>
        <source>Choose the path to save the document</source>
        <translation>选择文档的保存位置</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>未保存的更改</translation>
    </message>
    <message>
        <source>Save them as a preset document first?</source>
        <translation>是否先将其保存为预设文档？</translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation>发送到键盘</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Don&apos;t ask again</source>
        <translation>不再询问</translation>
    </message>
    <message>
        <source>Pad colour</source>
        <translation>打击垫颜色</translation>
    </message>
    <message>
        <source>Keyboard plugged in</source>
        <translation>键盘已接入</translation>
    </message>
    <message>
        <source>The keyboard was plugged in. Read its settings in place of the ones shown?</source>
        <translation>键盘已接入。是否读取键盘中的设置，替换当前显示的设置？</translation>
    </message>
    <message>
        <source>Undo brings the ones shown back.</source>
        <translation>撤销可恢复当前显示的设置。</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Keep my edits</source>
        <translation>保留我的修改</translation>
    </message>
    <message>
        <source>Save the monitor&apos;s lines</source>
        <translation>保存监视器的记录</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>文本文件 (*.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Add a folder to the library</source>
        <translation>向预设库添加文件夹</translation>
    </message>
    <message>
        <source>Import presets into the library</source>
        <translation>把预设导入预设库</translation>
    </message>
    <message>
        <source>padkbd presets (*.padkbd);;All files (*)</source>
        <translation>padkbd 预设 (*.padkbd);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Send Set</source>
        <translation>发送预设组</translation>
    </message>
    <message>
        <source>Skip Them</source>
        <translation>跳过它们</translation>
    </message>
    <message>
        <source>Send All</source>
        <translation>全部发送</translation>
    </message>
    <message>
        <source>Sets of nine (*.padkbdset)</source>
        <translation>九个一组的预设组 (*.padkbdset)</translation>
    </message>
    <message>
        <source>Open a set of nine</source>
        <translation>打开预设组</translation>
    </message>
    <message>
        <source>Save the set of nine</source>
        <translation>保存预设组</translation>
    </message>
    <message>
        <source>Save to Library</source>
        <translation>保存到预设库</translation>
    </message>
    <message>
        <source>live, drums, studio</source>
        <translation>现场, 鼓, 录音室</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称：</translation>
    </message>
    <message>
        <source>Tags:</source>
        <translation>标签：</translation>
    </message>
    <message>
        <source>Notes:</source>
        <translation>备注：</translation>
    </message>
    <message>
        <source>Export the names</source>
        <translation>导出名称</translation>
    </message>
    <message>
        <source>MIDNAM documents (*.midnam)</source>
        <translation>MIDNAM 文档 (*.midnam)</translation>
    </message>
</context>
<context>
    <name>ListLabel</name>
    <message>
        <source>Channel %1</source>
        <translation>通道 %1</translation>
    </message>
    <message>
        <source>Curve %1</source>
        <translation>曲线 %1</translation>
    </message>
    <message>
        <source>Pad %1</source>
        <translation>打击垫 %1</translation>
    </message>
    <message>
        <source>Knob %1</source>
        <translation>旋钮 %1</translation>
    </message>
    <message>
        <source>Button %1</source>
        <translation>按钮 %1</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>存储位置 %1</translation>
    </message>
    <message>
        <source>Global</source>
        <translation>全局</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>音符</translation>
    </message>
    <message>
        <source>CC</source>
        <translation>CC</translation>
    </message>
    <message>
        <source>CC Switch</source>
        <translation>CC 开关</translation>
    </message>
    <message>
        <source>Note Switch</source>
        <translation>音符开关</translation>
    </message>
    <message>
        <source>NRPN / RPN</source>
        <translation>NRPN / RPN</translation>
    </message>
    <message>
        <source>Absolute</source>
        <translation>绝对</translation>
    </message>
    <message>
        <source>Rleative #1</source>
        <translation>相对 #1</translation>
    </message>
    <message>
        <source>Rleative #2</source>
        <translation>相对 #2</translation>
    </message>
    <message>
        <source>Rleative #3</source>
        <translation>相对 #3</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>切换</translation>
    </message>
    <message>
        <source>Gate</source>
        <translation>门限</translation>
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
        <translation>点击打击垫、旋钮或按钮进行编辑</translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation>全局设置</translation>
    </message>
    <message>
        <source>MIDI channel</source>
        <translation>MIDI 通道</translation>
    </message>
    <message>
        <source>Global MIDI channel</source>
        <translation>全局 MIDI 通道</translation>
    </message>
    <message>
        <source>Octave</source>
        <translation>八度</translation>
    </message>
    <message>
        <source>Octave transposition</source>
        <translation>八度移调</translation>
    </message>
    <message>
        <source>Velocity curve</source>
        <translation>力度曲线</translation>
    </message>
    <message>
        <source>Pad velocity curve</source>
        <translation>打击垫力度曲线</translation>
    </message>
    <message>
        <source>Knob acceleration</source>
        <translation>旋钮加速</translation>
    </message>
    <message>
        <source>Knob acceleration curve</source>
        <translation>旋钮加速曲线</translation>
    </message>
    <message>
        <source>Memory slot</source>
        <translation>存储位置</translation>
    </message>
    <message>
        <source>Memory slot that Send writes to</source>
        <translation>“发送”写入的存储位置</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>Firmware version of the keyboard</source>
        <translation>键盘的固件版本</translation>
    </message>
    <message>
        <source>Selected control</source>
        <translation>所选控件</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>控件</translation>
    </message>
    <message>
        <source>The control being edited</source>
        <translation>正在编辑的控件</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>Mode option</source>
        <translation>模式选项</translation>
    </message>
    <message>
        <source>Option of the chosen mode</source>
        <translation>所选模式的选项</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>MIDI channel of this control</source>
        <translation>此控件的 MIDI 通道</translation>
    </message>
    <message>
        <source>CC / note number</source>
        <translation>CC / 音符编号</translation>
    </message>
    <message>
        <source>MIDI number</source>
        <translation>MIDI 编号</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>Colour R / G / B</source>
        <translation>颜色 R / G / B</translation>
    </message>
    <message>
        <source>Red (0–127)</source>
        <translation>红色（0–127）</translation>
    </message>
    <message>
        <source>Green (0–127)</source>
        <translation>绿色（0–127）</translation>
    </message>
    <message>
        <source>Blue (0–127)</source>
        <translation>蓝色（0–127）</translation>
    </message>
    <message>
        <source>The pad&apos;s colour: click to pick another</source>
        <translation>打击垫颜色：点击选择其他颜色</translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation>批量改变红色/绿色/蓝色</translation>
    </message>
    <message>
        <source>Give several pads the same mode, option and colour</source>
        <translation>为多个打击垫设置相同的模式、选项和颜色</translation>
    </message>
    <message>
        <source>All pads</source>
        <translation>全部打击垫</translation>
    </message>
    <message>
        <source>Choose all 48 pads</source>
        <translation>选择全部 48 个打击垫</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Leave bulk mode without changing any pad (Esc)</source>
        <translation>退出批量模式，不更改任何打击垫（Esc）</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Replace the settings with the default preset</source>
        <translation>用默认预设替换当前设置</translation>
    </message>
    <message>
        <source>Load…</source>
        <translation>加载…</translation>
    </message>
    <message>
        <source>Load a preset document</source>
        <translation>加载预设文档</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>保存…</translation>
    </message>
    <message>
        <source>Save the settings as a preset document</source>
        <translation>将设置保存为预设文档</translation>
    </message>
    <message>
        <source>Gains…</source>
        <translation>增益…</translation>
    </message>
    <message>
        <source>Set the eight gains</source>
        <translation>设置八路增益</translation>
    </message>
    <message>
        <source>Send to keyboard</source>
        <translation>发送到键盘</translation>
    </message>
    <message>
        <source>Write every setting into the chosen memory slot</source>
        <translation>将所有设置写入所选存储位置</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Whether the keyboard is plugged in</source>
        <translation>键盘是否已接入</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Keyboard</source>
        <translation>键盘(&amp;K)</translation>
    </message>
    <message>
        <source>&amp;Load…</source>
        <translation>加载(&amp;L)…</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>&amp;Save…</source>
        <translation>保存(&amp;S)…</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>&amp;Default preset</source>
        <translation>默认预设(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation>Ctrl+Shift+Z</translation>
    </message>
    <message>
        <source>&amp;Copy control settings</source>
        <translation>复制控件设置(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Paste control settings</source>
        <translation>粘贴控件设置(&amp;P)</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>&amp;Read from keyboard</source>
        <translation>从键盘读取(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Send to keyboard</source>
        <translation>发送到键盘(&amp;S)</translation>
    </message>
    <message>
        <source>Ctrl+Return</source>
        <translation>Ctrl+Return</translation>
    </message>
    <message>
        <source>&amp;Gains…</source>
        <translation>增益(&amp;G)…</translation>
    </message>
    <message>
        <source>&amp;Keyboard…</source>
        <translation>键盘(&amp;K)…</translation>
    </message>
    <message>
        <source>Choose the USB keyboard the editor talks to</source>
        <translation>选择编辑器要通信的 USB 键盘</translation>
    </message>
    <message>
        <source>&amp;History…</source>
        <translation>历史记录(&amp;H)…</translation>
    </message>
    <message>
        <source>Every read from and send to a keyboard</source>
        <translation>每一次从键盘读取和发送到键盘的记录</translation>
    </message>
    <message>
        <source>&amp;Memory Slots…</source>
        <translation>存储位置(&amp;M)…</translation>
    </message>
    <message>
        <source>What each memory slot of the keyboard holds, as far as padkbd knows</source>
        <translation>就 padkbd 所知，键盘各存储位置中的内容</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>监视器(&amp;M)</translation>
    </message>
    <message>
        <source>Show what the keyboard sends while it is played</source>
        <translation>显示演奏时键盘发送的消息</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <source>Choose by &amp;Playing</source>
        <translation>演奏选择(&amp;P)</translation>
    </message>
    <message>
        <source>The next control played on the keyboard becomes the one edited (Esc stops)</source>
        <translation>在键盘上演奏的下一个控件将成为编辑对象(Esc 停止)</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About padkbd</source>
        <translation>关于 padkbd(&amp;A)</translation>
    </message>
    <message>
        <source>Open &amp;Log Folder</source>
        <translation>打开日志文件夹(&amp;L)</translation>
    </message>
    <message>
        <source>Show the folder of the editor&apos;s log in the file manager</source>
        <translation>在文件管理器中显示编辑器日志所在的文件夹</translation>
    </message>
    <message>
        <source>&amp;Detailed log</source>
        <translation>详细日志(&amp;D)</translation>
    </message>
    <message>
        <source>Write every message to and from the keyboard to the log: each read or send adds about 250 KB, so the log fills quickly and keeps fewer days</source>
        <translation>把与键盘往来的每条消息都写入日志：每次读取或发送约增加 250 千字节，日志会很快写满，保留的天数也更少</translation>
    </message>
    <message>
        <source>Export &amp;Names…</source>
        <translation>导出名称(&amp;N)…</translation>
    </message>
</context>
<context>
    <name>SelectorSurface</name>
    <message>
        <source>Bank 2</source>
        <translation>第 2 组</translation>
    </message>
    <message>
        <source>Bank switch: the top row edits Pad 1-8 while it is lit</source>
        <translation>切换组：此键亮起时，顶行编辑打击垫 1-8</translation>
    </message>
    <message>
        <source>Row %1 ▸</source>
        <translation>第 %1 行 ▸</translation>
    </message>
    <message>
        <source>Choose every pad of this row</source>
        <translation>选择此行的所有打击垫</translation>
    </message>
    <message>
        <source>Keyboard controls</source>
        <translation>键盘控件</translation>
    </message>
    <message>
        <source>note %1</source>
        <translation>音符 %1</translation>
    </message>
    <message>
        <source>no note</source>
        <translation>无音符</translation>
    </message>
    <message>
        <source>controller %1</source>
        <translation>控制器 %1</translation>
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
        <translation>%1，通道 %2</translation>
    </message>
    <message>
        <source>%1, channel %2, %3</source>
        <translation>%1，通道 %2，%3</translation>
    </message>
    <message>
        <source>unlit</source>
        <translation>不亮</translation>
    </message>
    <message>
        <source>black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>grey</source>
        <translation>灰色</translation>
    </message>
    <message>
        <source>white</source>
        <translation>白色</translation>
    </message>
    <message>
        <source>red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>橙色</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <source>green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>purple</source>
        <translation>紫色</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>粉色</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <source>加载ing……</source>
        <translation>加载ing……</translation>
    </message>
    <message>
        <source>从设备读取参数成功!</source>
        <translation>从设备读取参数成功!</translation>
    </message>
    <message>
        <source>连接到设备失败.</source>
        <translation>连接到设备失败.</translation>
    </message>
    <message>
        <source>发送中……</source>
        <translation>发送中……</translation>
    </message>
    <message>
        <source>成功发送到设备!</source>
        <translation>成功发送到设备!</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>未连接</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Editor for the settings of the USB-MIDI pad keyboard.</source>
        <translation>USB-MIDI 打击垫键盘的设置编辑器。</translation>
    </message>
    <message>
        <source>language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>The window&apos;s language: en, zh_CN, or source (as built); the desktop&apos;s by default.</source>
        <translation>窗口语言：en、zh_CN 或 source（原始文本）；默认跟随桌面。</translation>
    </message>
    <message>
        <source>Write the diagnostic lines to standard error too, every message to and from the keyboard included (they always go to the editor&apos;s log file).</source>
        <translation>同时将诊断信息写到标准错误，包括与键盘往来的每条消息（它们总会写入编辑器的日志文件）。</translation>
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
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>MIDI number</source>
        <translation>MIDI 编号</translation>
    </message>
    <message>
        <source>min</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>max</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>mode option</source>
        <translation>模式选项</translation>
    </message>
    <message>
        <source>red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>knob relative mode</source>
        <translation>旋钮相对模式</translation>
    </message>
    <message>
        <source>octave transposition</source>
        <translation>八度移调</translation>
    </message>
    <message>
        <source>MIDI channel</source>
        <translation>MIDI 通道</translation>
    </message>
    <message>
        <source>velocity curve</source>
        <translation>力度曲线</translation>
    </message>
    <message>
        <source>pad velocity curve</source>
        <translation>打击垫力度曲线</translation>
    </message>
    <message>
        <source>knob acceleration</source>
        <translation>旋钮加速</translation>
    </message>
    <message>
        <source>memory slot</source>
        <translation>存储位置</translation>
    </message>
    <message>
        <source>cannot open it (%1)</source>
        <translation>无法打开（%1）</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>the file is too large for a preset (%1 bytes, at most %2)</source>
        <translation>文件太大，不是预设（%1 字节，最多 %2）</translation>
    </message>
    <message>
        <source>cannot read it (%1)</source>
        <translation>无法读取（%1）</translation>
    </message>
    <message>
        <source>the file is too large for a preset (at most %1 bytes)</source>
        <translation>文件太大，不是预设（最多 %1 字节）</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>that is not a file name</source>
        <translation>这不是文件名</translation>
    </message>
    <message>
        <source>no free name for a temporary file beside it</source>
        <translation>其旁边没有可用的临时文件名</translation>
    </message>
    <message>
        <source>Cannot lock %1: %2</source>
        <translation>无法锁定 %1：%2</translation>
    </message>
    <message>
        <source>Could not load %1</source>
        <translation>无法加载 %1</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>无法保存 %1</translation>
    </message>
    <message>
        <source>The working copy %1 is unusable</source>
        <translation>工作副本 %1 无法使用</translation>
    </message>
    <message>
        <source>Could not create the folder of the working copy %1: %2</source>
        <translation>无法创建工作副本 %1 所在的文件夹：%2</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>the file is neither a binary property list nor UTF-8 text</source>
        <translation>文件既不是二进制属性列表，也不是 UTF-8 文本</translation>
    </message>
    <message>
        <source>the file is not a property list</source>
        <translation>文件不是属性列表</translation>
    </message>
    <message>
        <source>the binary property list is broken: %1</source>
        <translation>二进制属性列表已损坏：%1</translation>
    </message>
    <message>
        <source>it is too short</source>
        <translation>长度太短</translation>
    </message>
    <message>
        <source>its trailer gives impossible sizes</source>
        <translation>其尾部给出的大小不可能成立</translation>
    </message>
    <message>
        <source>its trailer names no top object</source>
        <translation>其尾部没有指明顶层对象</translation>
    </message>
    <message>
        <source>its offset table lies outside the file</source>
        <translation>其偏移表位于文件之外</translation>
    </message>
    <message>
        <source>object %1 lies outside the file</source>
        <translation>对象 %1 位于文件之外</translation>
    </message>
    <message>
        <source>an object contains itself</source>
        <translation>有对象包含了自身</translation>
    </message>
    <message>
        <source>object %1 has a number of an unknown size</source>
        <translation>对象 %1 含有大小未知的数字</translation>
    </message>
    <message>
        <source>object %1 is of an unknown kind</source>
        <translation>对象 %1 的类型未知</translation>
    </message>
    <message>
        <source>object %1 runs past the objects</source>
        <translation>对象 %1 超出了对象区</translation>
    </message>
    <message>
        <source>object %1 has a broken length</source>
        <translation>对象 %1 的长度已损坏</translation>
    </message>
    <message>
        <source>object %1 refers to an object that does not exist</source>
        <translation>对象 %1 引用了不存在的对象</translation>
    </message>
    <message>
        <source>the property list holds more than %1 values, far more than a preset</source>
        <translation>属性列表含有超过 %1 个值，远多于预设</translation>
    </message>
    <message>
        <source>the property list is nested deeper than a preset can be (more than %1 levels)</source>
        <translation>属性列表的嵌套深度超出预设可能的深度（超过 %1 层）</translation>
    </message>
    <message>
        <source>the property list declares its own document type, which no preset does</source>
        <translation>属性列表声明了自己的文档类型，预设从不这样做</translation>
    </message>
    <message>
        <source>the property list holds more than %1 elements, far more than a preset</source>
        <translation>属性列表含有超过 %1 个元素，远多于预设</translation>
    </message>
    <message>
        <source>the property list has %1 objects, far more than a preset (at most %2)</source>
        <translation>属性列表含有 %1 个对象，远多于预设（最多 %2 个）</translation>
    </message>
    <message>
        <source>the file is not a preset dictionary</source>
        <translation>文件不是预设字典</translation>
    </message>
    <message>
        <source>the preset has no &quot;ButtonArray&quot;</source>
        <translation>预设中没有“ButtonArray”</translation>
    </message>
    <message>
        <source>&quot;ButtonArray&quot; is not an array</source>
        <translation>“ButtonArray”不是数组</translation>
    </message>
    <message>
        <source>&quot;ButtonArray&quot; has %1 controls instead of %2</source>
        <translation>“ButtonArray”含有 %1 个控件，而不是 %2 个</translation>
    </message>
    <message>
        <source>%1 is not a dictionary</source>
        <translation>%1 不是字典</translation>
    </message>
    <message>
        <source>&quot;GlobalValue&quot; is not a dictionary</source>
        <translation>“GlobalValue”不是字典</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2, not a number</source>
        <translation>“%1”存放的是%2，而不是数字</translation>
    </message>
    <message>
        <source>an array</source>
        <translation>数组</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>字典</translation>
    </message>
    <message>
        <source>a date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>a value of no number kind</source>
        <translation>非数字类型的值</translation>
    </message>
    <message>
        <source>global settings: %1</source>
        <translation>全局设置：%1</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>缺少%1</translation>
    </message>
    <message>
        <source>the global settings are missing</source>
        <translation>缺少全局设置</translation>
    </message>
    <message>
        <source>%1 has BtnID %2 instead of %3</source>
        <translation>%1 的 BtnID 为 %2，而不是 %3</translation>
    </message>
    <message>
        <source>%1 is none of %2</source>
        <translation>%1不是 %2 中的任何一项</translation>
    </message>
    <message>
        <source>%1 %2 is outside %3</source>
        <translation>%1 %2 超出范围 %3</translation>
    </message>
    <message>
        <source>0-%1 or none</source>
        <translation>0-%1 或无</translation>
    </message>
    <message>
        <source>%1-%2</source>
        <translation>%1-%2</translation>
    </message>
    <message>
        <source>channel %1 is outside 1-%2 and Global</source>
        <translation>通道 %1 超出范围 1-%2 和全局</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>too large (%1 bytes)</source>
        <translation>太大（%1 字节）</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>&quot;keyboard&quot; is not a table</source>
        <translation>“keyboard”不是表</translation>
    </message>
    <message>
        <source>keyboard.device is not &quot;VID:PID&quot; in hexadecimal</source>
        <translation>keyboard.device 不是十六进制的“VID:PID”</translation>
    </message>
    <message>
        <source>keyboard.manufacturer is not three bytes 00-7f in hexadecimal (&quot;00 20 6b&quot;)</source>
        <translation>keyboard.manufacturer 不是三个十六进制字节 00-7f（如“00 20 6b”）</translation>
    </message>
    <message>
        <source>keyboard.port is not a port name</source>
        <translation>keyboard.port 不是端口名称</translation>
    </message>
    <message>
        <source>Could not create %1: %2</source>
        <translation>无法创建 %1：%2</translation>
    </message>
    <message>
        <source>%1; mend it, or forget it with &quot;padkbd use --reset&quot;</source>
        <translation>%1；请修复它，或用“padkbd use --reset”清除它</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>无法删除 %1：%2</translation>
    </message>
    <message>
        <source>the settings file is damaged (%1); using the built-in keyboard</source>
        <translation>设置文件已损坏（%1）；正在使用内置的键盘设置</translation>
    </message>
    <message>
        <source>built in</source>
        <translation>内置</translation>
    </message>
    <message>
        <source>settings file</source>
        <translation>设置文件</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>命令行</translation>
    </message>
    <message>
        <source>read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>sent to memory slot %1</source>
        <translation>已发送到存储位置 %1</translation>
    </message>
    <message>
        <source>stopped after %1 of %2 settings to memory slot %3</source>
        <translation>发送到存储位置 %3 时中断，%2 项设置中已写入 %1 项</translation>
    </message>
    <message>
        <source>USB %1</source>
        <translation>USB %1</translation>
    </message>
    <message>
        <source>USB %1, serial %2</source>
        <translation>USB %1，序列号 %2</translation>
    </message>
    <message>
        <source>MIDI port %1</source>
        <translation>MIDI 端口 %1</translation>
    </message>
    <message>
        <source>simulated keyboard</source>
        <translation>模拟键盘</translation>
    </message>
    <message>
        <source>simulated keyboard, state file %1</source>
        <translation>模拟键盘，状态文件 %1</translation>
    </message>
    <message>
        <source>from the keyboard</source>
        <translation>来自键盘</translation>
    </message>
    <message>
        <source>default preset</source>
        <translation>默认预设</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>历史记录第 %1 条</translation>
    </message>
    <message>
        <source>%1, edited</source>
        <translation>%1（已编辑）</translation>
    </message>
    <message>
        <source>Memory %1: not sent by padkbd on this computer</source>
        <translation>存储位置 %1：本机上的 padkbd 从未发送到此处</translation>
    </message>
    <message>
        <source>Memory %1: last sent by padkbd on %2, %3</source>
        <translation>存储位置 %1：padkbd 最近一次于 %2 发送，%3</translation>
    </message>
    <message>
        <source>Memory %1: a send by padkbd on %2, %3, stopped after %4 of %5 settings</source>
        <translation>存储位置 %1：padkbd 于 %2 发送 %3，%5 项设置中写入 %4 项后中断</translation>
    </message>
    <message>
        <source>%1, so what it holds is unknown; all %2 settings will be written</source>
        <translation>%1，因此其中的内容未知；将写入全部 %2 项设置</translation>
    </message>
    <message>
        <source>%1; all %2 settings will be written</source>
        <translation>%1；将写入全部 %2 项设置</translation>
    </message>
    <message>
        <source>%1; against that, %2</source>
        <translation>%1；与之相比，%2</translation>
    </message>
    <message>
        <source>nothing changes</source>
        <translation>没有任何改变</translation>
    </message>
    <message>
        <source>1 setting changes</source>
        <translation>有 1 项设置改变</translation>
    </message>
    <message>
        <source>%1 settings change</source>
        <translation>有 %1 项设置改变</translation>
    </message>
    <message>
        <source>another program is using the history (%1)</source>
        <translation>另一个程序正在使用历史记录（%1）</translation>
    </message>
    <message>
        <source>the history database %1 is read-only (%2)</source>
        <translation>历史记录数据库 %1 为只读（%2）</translation>
    </message>
    <message>
        <source>the history database %1 cannot be opened (%2)</source>
        <translation>无法打开历史记录数据库 %1（%2）</translation>
    </message>
    <message>
        <source>the history could not be used: %1</source>
        <translation>无法使用历史记录：%1</translation>
    </message>
    <message>
        <source>the history database %1 was written by a newer padkbd, which this one does not write to</source>
        <translation>历史记录数据库 %1 由更新版本的 padkbd 写入，此版本不会向其写入</translation>
    </message>
    <message>
        <source>the history database %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</source>
        <translation>历史记录数据库 %1 已损坏（%2），且另一个程序正打开着它：在该程序关闭之前保持原样</translation>
    </message>
    <message>
        <source>the history database %1 is damaged (%2) and cannot be moved aside: %3</source>
        <translation>历史记录数据库 %1 已损坏（%2），且无法移到一旁：%3</translation>
    </message>
    <message>
        <source>The history database was damaged (%1); it was moved to %2 and a new one started.</source>
        <translation>历史记录数据库已损坏（%1）；已将其移至 %2，并新建了数据库。</translation>
    </message>
    <message>
        <source>The history database was upgraded for this padkbd; a copy of it as it was is kept in %1.</source>
        <translation>历史记录数据库已为此版本的 padkbd 升级；原数据库的副本保存在 %1。</translation>
    </message>
    <message>
        <source>there is no history entry %1</source>
        <translation>没有历史记录第 %1 条</translation>
    </message>
    <message>
        <source>history entry %1 cannot be used: %2</source>
        <translation>历史记录第 %1 条无法使用：%2</translation>
    </message>
    <message>
        <source>its preset has an impossible size</source>
        <translation>其预设的大小不可能成立</translation>
    </message>
    <message>
        <source>its preset is damaged</source>
        <translation>其预设已损坏</translation>
    </message>
    <message>
        <source>%1: %2 %3 → %4</source>
        <translation>%1：%2 %3 → %4</translation>
    </message>
    <message>
        <source>%1: only in the first preset</source>
        <translation>%1：仅在第一个预设中</translation>
    </message>
    <message>
        <source>%1: only in the second preset</source>
        <translation>%1：仅在第二个预设中</translation>
    </message>
    <message>
        <source>global: %1 %2 → %3</source>
        <translation>全局：%1 %2 → %3</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>%1 · not from these settings: the keyboard may hold others</source>
        <translation>%1 · 不属于这些设置：键盘可能存有其他设置</translation>
    </message>
    <message>
        <source>control %1</source>
        <translation>控件 %1</translation>
    </message>
    <message>
        <source>note on %1 · velocity %2 · channel %3</source>
        <translation>音符开 %1 · 力度 %2 · 通道 %3</translation>
    </message>
    <message>
        <source>note off %1 · channel %2</source>
        <translation>音符关 %1 · 通道 %2</translation>
    </message>
    <message>
        <source>pressure %1 · %2 · channel %3</source>
        <translation>压力 %1 · %2 · 通道 %3</translation>
    </message>
    <message>
        <source>controller %1 · value %2 · channel %3</source>
        <translation>控制器 %1 · 数值 %2 · 通道 %3</translation>
    </message>
    <message>
        <source>controller %1 · step %2 · channel %3</source>
        <translation>控制器 %1 · 步进 %2 · 通道 %3</translation>
    </message>
    <message>
        <source>NRPN %1 · value %2 · channel %3</source>
        <translation>NRPN %1 · 数值 %2 · 通道 %3</translation>
    </message>
    <message>
        <source>RPN %1 · value %2 · channel %3</source>
        <translation>RPN %1 · 数值 %2 · 通道 %3</translation>
    </message>
    <message>
        <source>program change %1 · channel %2</source>
        <translation>音色切换 %1 · 通道 %2</translation>
    </message>
    <message>
        <source>channel pressure %1 · channel %2</source>
        <translation>通道压力 %1 · 通道 %2</translation>
    </message>
    <message>
        <source>pitch bend %1 · channel %2</source>
        <translation>弯音 %1 · 通道 %2</translation>
    </message>
    <message>
        <source>Simulator state file %1 does not exist or is not a file</source>
        <translation>模拟键盘状态文件 %1 不存在或不是文件</translation>
    </message>
    <message>
        <source>Cannot read simulator state file %1</source>
        <translation>无法读取模拟键盘状态文件 %1</translation>
    </message>
    <message>
        <source>Simulator state file %1 is too large (%2 bytes)</source>
        <translation>模拟键盘状态文件 %1 太大（%2 字节）</translation>
    </message>
    <message>
        <source>Cannot open simulator state file %1</source>
        <translation>无法打开模拟键盘状态文件 %1</translation>
    </message>
    <message>
        <source>Simulator state file %1 is damaged (line %2): %3</source>
        <translation>模拟键盘状态文件 %1 已损坏（第 %2 行）：%3</translation>
    </message>
    <message>
        <source>Simulator state file %1 is damaged: it has no &quot;%2 1&quot; line</source>
        <translation>模拟键盘状态文件 %1 已损坏：缺少“%2 1”这一行</translation>
    </message>
    <message>
        <source>contains a NUL byte</source>
        <translation>含有 NUL 字节</translation>
    </message>
    <message>
        <source>expected &quot;%1 1&quot; first</source>
        <translation>第一行应为“%1 1”</translation>
    </message>
    <message>
        <source>unknown format version %1</source>
        <translation>未知的格式版本 %1</translation>
    </message>
    <message>
        <source>expected &quot;usb VVVV:PPPP&quot;</source>
        <translation>应为“usb VVVV:PPPP”</translation>
    </message>
    <message>
        <source>expected &quot;manufacturer M1 M2 M3&quot; (hex, 00-7f)</source>
        <translation>应为“manufacturer M1 M2 M3”（十六进制，00-7f）</translation>
    </message>
    <message>
        <source>expected &quot;gain N VV&quot;</source>
        <translation>应为“gain N VV”</translation>
    </message>
    <message>
        <source>gain number must be 0 to 7</source>
        <translation>增益编号必须为 0 至 7</translation>
    </message>
    <message>
        <source>gain value must be two hex digits, 00 to 7f</source>
        <translation>增益值必须是两位十六进制数字，00 至 7f</translation>
    </message>
    <message>
        <source>expected &quot;slot S PP WW VV&quot;</source>
        <translation>应为“slot S PP WW VV”</translation>
    </message>
    <message>
        <source>slot must be 0 to 8</source>
        <translation>存储位置必须为 0 至 8</translation>
    </message>
    <message>
        <source>PP and WW must be two hex digits each</source>
        <translation>PP 和 WW 必须各为两位十六进制数字</translation>
    </message>
    <message>
        <source>no setting has parameter %1 and target %2</source>
        <translation>没有参数为 %1、目标为 %2 的设置</translation>
    </message>
    <message>
        <source>value must be two hex digits, 00 to 7f</source>
        <translation>数值必须是两位十六进制数字，00 至 7f</translation>
    </message>
    <message>
        <source>unknown entry &quot;%1&quot;</source>
        <translation>未知条目“%1”</translation>
    </message>
    <message>
        <source>the MIDI port support (%1) cannot be loaded: %2</source>
        <translation>MIDI 端口支持（%1）无法加载：%2</translation>
    </message>
    <message>
        <source>no device (it may have been unplugged)</source>
        <translation>没有设备（可能已被拔出）</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>输入/输出错误</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>被中断</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>invalid parameter</source>
        <translation>参数无效</translation>
    </message>
    <message>
        <source>access denied</source>
        <translation>访问被拒绝</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>未找到</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>忙</translation>
    </message>
    <message>
        <source>overflow</source>
        <translation>溢出</translation>
    </message>
    <message>
        <source>pipe error</source>
        <translation>管道错误</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>not supported</source>
        <translation>不支持</translation>
    </message>
    <message>
        <source>other error</source>
        <translation>其他错误</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be found (%1)</source>
        <translation>找不到控制器的接口（%1）</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be opened (%1)</source>
        <translation>无法打开控制器的接口（%1）</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be claimed (%1)</source>
        <translation>无法占用控制器的接口（%1）</translation>
    </message>
    <message>
        <source>the controller&apos;s interface could not be examined (%1)</source>
        <translation>无法检查控制器的接口（%1）</translation>
    </message>
    <message>
        <source>no MIDI port named &quot;%1&quot; found</source>
        <translation>未找到名为“%1”的 MIDI 端口</translation>
    </message>
    <message>
        <source>no controller found (USB %1)</source>
        <translation>未找到控制器（USB %1）</translation>
    </message>
    <message>
        <source>no controller found</source>
        <translation>未找到控制器</translation>
    </message>
    <message>
        <source>the write failed (%1)</source>
        <translation>写入失败（%1）</translation>
    </message>
    <message>
        <source>no reply (%1)</source>
        <translation>没有回应（%1）</translation>
    </message>
    <message>
        <source>the reply is not the keyboard&apos;s handshake</source>
        <translation>回应不是键盘的握手</translation>
    </message>
    <message>
        <source>a reply of %1 bytes, %2 are needed</source>
        <translation>回应有 %1 个字节，需要 %2 个</translation>
    </message>
    <message>
        <source>libusb could not start (%1)</source>
        <translation>libusb 无法启动（%1）</translation>
    </message>
    <message>
        <source>the USB devices could not be listed (%1)</source>
        <translation>无法列出 USB 设备（%1）</translation>
    </message>
    <message>
        <source>the ALSA sequencer cannot be opened</source>
        <translation>无法打开 ALSA 音序器</translation>
    </message>
    <message>
        <source>no JACK server is running</source>
        <translation>没有正在运行的 JACK 服务器</translation>
    </message>
    <message>
        <source>the ALSA sequencer cannot be opened and no JACK server is running</source>
        <translation>无法打开 ALSA 音序器，也没有正在运行的 JACK 服务器</translation>
    </message>
    <message>
        <source>there are no settings to save yet</source>
        <translation>还没有可保存的设置</translation>
    </message>
    <message>
        <source>there are no settings to send yet</source>
        <translation>还没有可发送的设置</translation>
    </message>
    <message>
        <source>the keyboard did not take the handshake: %1</source>
        <translation>键盘没有接受握手：%1</translation>
    </message>
    <message>
        <source>the controller did not answer the handshake after %1 attempts</source>
        <translation>尝试 %1 次后控制器仍未回应握手</translation>
    </message>
    <message>
        <source>cancelled while waiting for the keyboard</source>
        <translation>在等待键盘时已取消</translation>
    </message>
    <message>
        <source>the read was cancelled</source>
        <translation>读取已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering during the read, at %1</source>
        <translation>读取时控制器停止了回应，在 %1</translation>
    </message>
    <message>
        <source>reading the controller failed: %1</source>
        <translation>读取控制器失败：%1</translation>
    </message>
    <message>
        <source>memory slot %1 is outside 1-9</source>
        <translation>存储位置 %1 不在 1-9 之内</translation>
    </message>
    <message>
        <source>memory slot %1 is outside 1-9; nothing was sent</source>
        <translation>存储位置 %1 不在 1-9 之内；没有发送任何内容</translation>
    </message>
    <message>
        <source>cancelled after %1 of %2 settings: memory slot %3 now holds some of the new settings and some of the old</source>
        <translation>在 %2 项设置中的第 %1 项后取消：存储位置 %3 现在有一部分新设置和一部分旧设置</translation>
    </message>
    <message>
        <source>the send stopped, at %1</source>
        <translation>发送中断，在 %1</translation>
    </message>
    <message>
        <source>the send failed: %1</source>
        <translation>发送失败：%1</translation>
    </message>
    <message>
        <source>%1: the control has no record</source>
        <translation>%1：该控件没有记录</translation>
    </message>
    <message>
        <source>the gain list has %1 entries, 8 are needed</source>
        <translation>增益列表有 %1 项，需要 8 项</translation>
    </message>
    <message>
        <source>gain %1 is %2, outside 0-127</source>
        <translation>增益 %1 为 %2，不在 0-127 之内</translation>
    </message>
    <message>
        <source>Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its memory slots and gains in STATEFILE between runs</source>
        <translation>使用模拟键盘代替 USB；--simulate=STATEFILE 在两次运行之间把它的存储位置和增益保存在 STATEFILE 中</translation>
    </message>
    <message>
        <source>Use the keyboard with this USB vendor:product id (hex)</source>
        <translation>使用具有此 USB 厂商:产品编号（十六进制）的键盘</translation>
    </message>
    <message>
        <source>The keyboard&apos;s three SysEx manufacturer bytes, hex (&quot;00206b&quot;, &quot;00 20 6b&quot;)</source>
        <translation>键盘的三个 SysEx 制造商字节，十六进制（“00206b”、“00 20 6b”）</translation>
    </message>
    <message>
        <source>Reach the keyboard through the MIDI port whose name contains NAME (any case) instead of raw USB</source>
        <translation>通过名称包含 NAME（不分大小写）的 MIDI 端口而不是原始 USB 连接键盘</translation>
    </message>
    <message>
        <source>The MIDI service for --port: alsa or jack</source>
        <translation>--port 使用的 MIDI 服务：alsa 或 jack</translation>
    </message>
    <message>
        <source>a USB id VID:PID in hexadecimal (like 1209:0001)</source>
        <translation>十六进制的 USB 编号 VID:PID（如 1209:0001）</translation>
    </message>
    <message>
        <source>three hex bytes 00-7f (like 00206b)</source>
        <translation>三个 00-7f 的十六进制字节（如 00206b）</translation>
    </message>
    <message>
        <source>a part of the MIDI port&apos;s name</source>
        <translation>MIDI 端口名称的一部分</translation>
    </message>
    <message>
        <source>alsa or jack</source>
        <translation>alsa 或 jack</translation>
    </message>
    <message>
        <source>--simulate=STATEFILE needs a file name</source>
        <translation>--simulate=STATEFILE 需要一个文件名</translation>
    </message>
    <message>
        <source>%1 takes %2, not %3</source>
        <translation>%1 需要 %2，而不是 %3</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 colour</source>
        <translation>%1 颜色</translation>
    </message>
    <message>
        <source>bulk change of %1 pads</source>
        <translation>批量改变 %1 个打击垫</translation>
    </message>
    <message>
        <source>paste onto %1</source>
        <translation>粘贴到 %1</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Load %1</source>
        <translation>加载 %1</translation>
    </message>
    <message>
        <source>Open history entry %1</source>
        <translation>打开历史记录第 %1 条</translation>
    </message>
    <message>
        <source>Read from keyboard</source>
        <translation>从键盘读取</translation>
    </message>
    <message>
        <source>another program is using the library&apos;s index (%1)</source>
        <translation>另一个程序正在使用预设库的索引（%1）</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 cannot be opened (%2)</source>
        <translation>无法打开预设库的索引 %1（%2）</translation>
    </message>
    <message>
        <source>the library&apos;s index could not be used: %1</source>
        <translation>无法使用预设库的索引：%1</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 was written by a newer padkbd, which this one does not write to</source>
        <translation>预设库的索引 %1 由更新版本的 padkbd 写入，此版本不会写入它</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed</source>
        <translation>预设库的索引 %1 已损坏（%2），且另一个程序正打开着它：在该程序关闭之前保持原样</translation>
    </message>
    <message>
        <source>the library&apos;s index %1 is damaged (%2) and cannot be moved aside: %3</source>
        <translation>预设库的索引 %1 已损坏（%2），且无法移到一旁：%3</translation>
    </message>
    <message>
        <source>The library&apos;s index was damaged (%1); it was moved to %2 and made anew from the library&apos;s folders.</source>
        <translation>预设库的索引已损坏（%1）；它已移到 %2，并根据预设库的文件夹重新建立。</translation>
    </message>
    <message>
        <source>there is no preset named &quot;%1&quot; in the library</source>
        <translation>预设库中没有名为“%1”的预设</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names more than one preset of the library: %2</source>
        <translation>“%1”对应预设库中的多个预设：%2</translation>
    </message>
    <message>
        <source>%1 is already in the library, with other contents</source>
        <translation>预设库中已有 %1，但内容不同</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a tag: a tag has 1 to 64 characters, no line break or comma, and does not start with + or -</source>
        <translation>“%1”不是标签：标签有 1 到 64 个字符，不含换行或逗号，且不以 + 或 - 开头</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>%1 is already a library folder</source>
        <translation>%1 已经是预设库文件夹</translation>
    </message>
    <message>
        <source>%1 is not one of the library&apos;s folders</source>
        <translation>%1 不是预设库的文件夹之一</translation>
    </message>
    <message>
        <source>the library&apos;s own folder %1 cannot be removed</source>
        <translation>预设库自己的文件夹 %1 不能移除</translation>
    </message>
    <message>
        <source>%1 is not a preset: %2</source>
        <translation>%1 不是预设：%2</translation>
    </message>
    <message>
        <source>%1 is not a set of presets: %2</source>
        <translation>%1 不是预设组：%2</translation>
    </message>
    <message>
        <source>expected &quot;%1&quot; first</source>
        <translation>开头应为“%1”</translation>
    </message>
    <message>
        <source>expected &quot;slot N HASH PATH&quot;</source>
        <translation>应为“slot N HASH PATH”</translation>
    </message>
    <message>
        <source>the memory slot must be 1 to 9</source>
        <translation>存储位置必须是 1 到 9</translation>
    </message>
    <message>
        <source>memory %1 is named twice</source>
        <translation>存储位置 %1 出现了两次</translation>
    </message>
    <message>
        <source>the hash must be 32 hexadecimal digits</source>
        <translation>哈希值必须是 32 位十六进制数字</translation>
    </message>
    <message>
        <source>the path must be relative, inside a library folder</source>
        <translation>路径必须是预设库文件夹内的相对路径</translation>
    </message>
    <message>
        <source>it fills no memory slot</source>
        <translation>它没有填入任何存储位置</translation>
    </message>
    <message>
        <source>Memory %1: %2 has changed since the set named it</source>
        <translation>存储位置 %1：%2 在加入预设组之后已被修改</translation>
    </message>
    <message>
        <source>Memory %1: %2 is no longer in the library</source>
        <translation>存储位置 %1：%2 已不在预设库中</translation>
    </message>
    <message>
        <source>Memory %1: %2 cannot be sent: %3</source>
        <translation>存储位置 %1：%2 无法发送：%3</translation>
    </message>
    <message>
        <source>Memory %1 of %2 · %3 of %4</source>
        <translation>存储位置 第 %1 个，共 %2 个 · %3/%4</translation>
    </message>
</context>
<context>
    <name>padkbd::editor</name>
    <message>
        <source>This user may not open the keyboard (USB id %1). Keyboard → Keyboard… shows the udev rule that allows it and how to install it; then plug the keyboard in again.</source>
        <translation>此用户无权打开键盘（USB 编号 %1）。“键盘 → 键盘…”显示允许访问的 udev 规则及其安装方法；然后重新插入键盘。</translation>
    </message>
    <message>
        <source>Another program holds the keyboard: close it (or another padkbd), then try again.</source>
        <translation>另一个程序占用着键盘：请关闭它（或另一个 padkbd），然后重试。</translation>
    </message>
    <message>
        <source>No MIDI port named &quot;%1&quot; was found. Is the keyboard plugged in? Keyboard → Keyboard… lists the MIDI ports and chooses another.</source>
        <translation>未找到名为“%1”的 MIDI 端口。键盘插好了吗？“键盘 → 键盘…”列出 MIDI 端口并可选择其他端口。</translation>
    </message>
    <message>
        <source>No keyboard with USB id %1 was found. Is it plugged in? Keyboard → Keyboard… lists the USB MIDI devices and chooses another.</source>
        <translation>未找到 USB 编号为 %1 的键盘。它插好了吗？“键盘 → 键盘…”列出 USB MIDI 设备并可选择其他设备。</translation>
    </message>
    <message>
        <source>The history could not keep this read: %1.</source>
        <translation>历史记录无法保存这次读取：%1。</translation>
    </message>
    <message>
        <source>The history could not keep this send: %1.</source>
        <translation>历史记录无法保存这次发送：%1。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::DeviceWorker</name>
    <message>
        <source>Listening could not start: %1</source>
        <translation>无法开始监听:%1</translation>
    </message>
    <message>
        <source>Listening stopped: the keyboard went away</source>
        <translation>监听已停止:键盘已断开</translation>
    </message>
    <message>
        <source>Listening stopped: %1</source>
        <translation>监听已停止:%1</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::DocumentActions</name>
    <message>
        <source>%1 would drop the changes made since the preset was last loaded, saved, read or sent.</source>
        <translation>%1将丢弃自预设上次加载、保存、读取或发送以来所做的更改。</translation>
    </message>
    <message>
        <source>The default preset</source>
        <translation>加载默认预设</translation>
    </message>
    <message>
        <source>The default preset was not loaded</source>
        <translation>默认预设未能加载</translation>
    </message>
    <message>
        <source>Loading a preset</source>
        <translation>加载预设</translation>
    </message>
    <message>
        <source>The preset was not loaded</source>
        <translation>预设未能加载</translation>
    </message>
    <message>
        <source>The preset was not saved</source>
        <translation>预设未能保存</translation>
    </message>
    <message>
        <source>The names were not exported</source>
        <translation>名称未能导出</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::EntryDialog</name>
    <message>
        <source>Nothing can be opened while the keyboard is read or in bulk mode.</source>
        <translation>正在读取键盘或处于批量模式时无法打开。</translation>
    </message>
    <message>
        <source>The preset was not opened</source>
        <translation>预设未能打开</translation>
    </message>
    <message>
        <source>Opened %1 in the window; Undo brings back what was there.</source>
        <translation>已在窗口中打开%1；撤销可恢复原来的内容。</translation>
    </message>
    <message>
        <source>The presets were not compared</source>
        <translation>预设未能比较</translation>
    </message>
    <message>
        <source>No difference between %1 and the preset shown.</source>
        <translation>%1与当前显示的预设没有差别。</translation>
    </message>
    <message>
        <source>1 setting differs between %1 and the preset shown (%1 → shown).</source>
        <translation>%1与当前显示的预设有 1 项设置不同（%1 → 当前）。</translation>
    </message>
    <message>
        <source>%1 settings differ between %2 and the preset shown (%2 → shown).</source>
        <translation>%2与当前显示的预设有 %1 项设置不同（%2 → 当前）。</translation>
    </message>
    <message>
        <source>Compare %1</source>
        <translation>比较%1</translation>
    </message>
    <message>
        <source>The preset was not saved</source>
        <translation>预设未能保存</translation>
    </message>
    <message>
        <source>Saved %1 as %2.</source>
        <translation>已将%1保存为 %2。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::GainController</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Gains</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>Gain of each of the eight inputs (0 to 127)</source>
        <translation>八路输入各自的增益（0 至 127）</translation>
    </message>
    <message>
        <source>Gain %1</source>
        <translation>增益 %1</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::HistoryDialog</name>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比较</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>另存为…</translation>
    </message>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>存储位置 %1</translation>
    </message>
    <message>
        <source>read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>中断</translation>
    </message>
    <message>
        <source>&amp;Slot:</source>
        <translation>存储位置(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>类型(&amp;K)：</translation>
    </message>
    <message>
        <source>When</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>What</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>来源</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>历史记录第 %1 条</translation>
    </message>
    <message>
        <source>Note…</source>
        <translation>备注…</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>Note on History Entry %1</source>
        <translation>历史记录第 %1 条的备注</translation>
    </message>
    <message>
        <source>A note on this entry (&quot;before the festival&quot;); empty removes it:</source>
        <translation>这条记录的备注（如“音乐节之前”）；留空则删除备注：</translation>
    </message>
    <message>
        <source>The note on history entry %1 was kept.</source>
        <translation>已保存历史记录第 %1 条的备注。</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>&amp;Copy Entry Number</source>
        <translation>复制条目编号(&amp;C)</translation>
    </message>
    <message>
        <source>Copies the chosen entry&apos;s number, which padkbd history show takes.</source>
        <translation>复制所选条目的编号，供 padkbd 命令行工具查找该条目。</translation>
    </message>
    <message>
        <source>Copied the number of history entry %1.</source>
        <translation>已复制历史记录第 %1 条的编号。</translation>
    </message>
    <message>
        <source>Keep in Library…</source>
        <translation>保存到预设库…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardActions</name>
    <message>
        <source> (1 setting from the keyboard was outside its list and set to the first entry)</source>
        <translation> （键盘中有 1 项设置超出其可选列表，已设为第一项）</translation>
    </message>
    <message>
        <source> (%1 settings from the keyboard were outside their lists and set to the first entry)</source>
        <translation> （键盘中有 %1 项设置超出其可选列表，已设为第一项）</translation>
    </message>
    <message>
        <source>Set to the first entry of their lists:</source>
        <translation>以下设置已设为其列表的第一项：</translation>
    </message>
    <message>
        <source>Global settings</source>
        <translation>全局设置</translation>
    </message>
    <message>
        <source>%1: %2 byte %3</source>
        <translation>%1：%2，字节值 %3</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>另有 %1 项</translation>
    </message>
    <message>
        <source>● Keyboard connected</source>
        <translation>● 键盘已连接</translation>
    </message>
    <message>
        <source>○ No keyboard</source>
        <translation>○ 无键盘</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>正在取消…</translation>
    </message>
    <message>
        <source>Looking for the keyboard…</source>
        <translation>正在查找键盘…</translation>
    </message>
    <message>
        <source>Sending to memory slot %1…</source>
        <translation>正在发送到存储位置 %1…</translation>
    </message>
    <message>
        <source>Waiting for the keyboard, attempt %1 of %2</source>
        <translation>正在等待键盘，第 %1 次尝试，共 %2 次</translation>
    </message>
    <message>
        <source>Reading from the keyboard… %1/%2</source>
        <translation>正在从键盘读取… %1/%2</translation>
    </message>
    <message>
        <source>Sending to memory slot %1… %2/%3</source>
        <translation>正在发送到存储位置 %1… %2/%3</translation>
    </message>
    <message>
        <source>Reading cancelled; nothing changed.</source>
        <translation>读取已取消，未做任何更改。</translation>
    </message>
    <message>
        <source>Sending cancelled.</source>
        <translation>发送已取消。</translation>
    </message>
    <message>
        <source> %1 of %2 settings reached memory slot %3, which now holds a mix of old and new settings.</source>
        <translation> %2 项设置中已有 %1 项写入存储位置 %3，该位置现在新旧设置混杂。</translation>
    </message>
    <message>
        <source>Sending the gains…</source>
        <translation>正在发送增益…</translation>
    </message>
    <message>
        <source>Reading from the keyboard</source>
        <translation>从键盘读取</translation>
    </message>
    <message>
        <source>The preset was not sent</source>
        <translation>预设未能发送</translation>
    </message>
    <message>
        <source> Written to memory slot %1.</source>
        <translation> 已写入存储位置 %1。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::KeyboardController</name>
    <message>
        <source>can be opened</source>
        <translation>可以打开</translation>
    </message>
    <message>
        <source>this user may not open it</source>
        <translation>当前用户无权打开</translation>
    </message>
    <message>
        <source>cannot be opened (%1)</source>
        <translation>无法打开（%1）</translation>
    </message>
    <message>
        <source>in use, %1</source>
        <translation>使用中，%1</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
    <message>
        <source>USB MIDI devices</source>
        <translation>USB MIDI 设备</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Bus, port</source>
        <translation>总线，端口</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>In use</source>
        <translation>正在使用</translation>
    </message>
    <message>
        <source>USB device:</source>
        <translation>USB 设备：</translation>
    </message>
    <message>
        <source>Manufacturer bytes:</source>
        <translation>厂商字节：</translation>
    </message>
    <message>
        <source>Settings file:</source>
        <translation>设置文件：</translation>
    </message>
    <message>
        <source>Choose a keyboard</source>
        <translation>选择键盘</translation>
    </message>
    <message>
        <source>VID:PID, hexadecimal</source>
        <translation>VID:PID，十六进制</translation>
    </message>
    <message>
        <source>three bytes 00-7f, hexadecimal</source>
        <translation>三个字节，00-7f，十六进制</translation>
    </message>
    <message>
        <source>USB device (VID:PID):</source>
        <translation>USB 设备（VID:PID）：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Use this keyboard</source>
        <translation>使用此键盘</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>（无名称）</translation>
    </message>
    <message>
        <source>%1, by %2</source>
        <translation>%1，制造商：%2</translation>
    </message>
    <message>
        <source>bus %1, port %2</source>
        <translation>总线 %1，端口 %2</translation>
    </message>
    <message>
        <source>The USB devices cannot be listed: %1.</source>
        <translation>无法列出 USB 设备：%1。</translation>
    </message>
    <message>
        <source>No USB MIDI device found. Is the keyboard plugged in and switched on? Its ids can still be typed below.</source>
        <translation>未找到 USB MIDI 设备。键盘是否已接入并打开电源？仍可在下方输入其 ID。</translation>
    </message>
    <message>
        <source>This user may not open %1. To allow it, run these two commands, then unplug the device and plug it in again:</source>
        <translation>当前用户无权打开 %1。如需允许，请运行以下两条命令，然后拔下设备并重新插入：</translation>
    </message>
    <message>
        <source>Another program holds %1 (a MIDI application, for example); close it to use the device here.</source>
        <translation>%1 正被其他程序占用（例如某个 MIDI 应用程序）；请关闭该程序，以便在此使用该设备。</translation>
    </message>
    <message>
        <source> (none yet)</source>
        <translation> （尚无）</translation>
    </message>
    <message>
        <source> Mend or delete the file to store a choice here.</source>
        <translation> 请修复或删除该文件，以便在此保存选择。</translation>
    </message>
    <message>
        <source>“%1” is not a USB device id: write the vendor and product id in hexadecimal, up to four digits each, as VID:PID.</source>
        <translation>“%1”不是 USB 设备 ID：请以 VID:PID 的形式输入十六进制的厂商 ID 和产品 ID，每个最多四位。</translation>
    </message>
    <message>
        <source>“%1” are not three manufacturer bytes: write six hexadecimal digits, each byte 00 to 7f.</source>
        <translation>“%1”不是三个厂商字节：请输入六位十六进制数字，每个字节为 00 至 7f。</translation>
    </message>
    <message>
        <source>The choice was not stored, and the editor still uses %1: %2</source>
        <translation>选择未保存，编辑器仍在使用 %1：%2</translation>
    </message>
    <message>
        <source>Stored. Looking for %1…</source>
        <translation>已保存。正在查找 %1…</translation>
    </message>
    <message>
        <source>Stored. The next send goes to %1%2. The window still shows the settings it had; sending writes them to this keyboard.</source>
        <translation>已保存。下次发送将发往 %1%2。窗口仍显示原有设置；发送会将其写入此键盘。</translation>
    </message>
    <message>
        <source>, which is not connected now</source>
        <translation>，该设备当前未连接</translation>
    </message>
    <message>
        <source>MIDI ports</source>
        <translation>MIDI 端口</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>MIDI port:</source>
        <translation>MIDI 端口：</translation>
    </message>
    <message>
        <source>empty: raw USB</source>
        <translation>留空：直接 USB</translation>
    </message>
    <message>
        <source>Pick a device or a port above, or type them. With a MIDI port named (any part of its name), the keyboard is reached through it and music programs keep it; with none, by raw USB. The manufacturer bytes are the three bytes after F0 in the keyboard&apos;s settings messages.</source>
        <translation>在上方选择设备或端口，或直接输入。填写 MIDI 端口（名称的任意部分）时，经该端口连接键盘，音乐软件可继续使用它；留空则直接通过 USB。厂商字节是键盘设置消息中 F0 之后的三个字节。</translation>
    </message>
    <message>
        <source>in and out</source>
        <translation>输入和输出</translation>
    </message>
    <message>
        <source>in only</source>
        <translation>仅输入</translation>
    </message>
    <message>
        <source>out only</source>
        <translation>仅输出</translation>
    </message>
    <message>
        <source>The MIDI ports cannot be listed: %1.</source>
        <translation>无法列出 MIDI 端口：%1。</translation>
    </message>
    <message>
        <source>No MIDI ports (%1).</source>
        <translation>没有 MIDI 端口（%1）。</translation>
    </message>
    <message>
        <source>Through %1.</source>
        <translation>经由 %1。</translation>
    </message>
    <message>
        <source>none: raw USB</source>
        <translation>无：直接 USB</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::LibraryModel</name>
    <message>
        <source>Tags: %1</source>
        <translation>标签：%1</translation>
    </message>
    <message>
        <source>The same preset as %1</source>
        <translation>与 %1 是同一个预设</translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>它所在的文件夹现在不存在。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::LibraryPane</name>
    <message>
        <source>Library</source>
        <translation>预设库</translation>
    </message>
    <message>
        <source>Search names, tags and notes</source>
        <translation>搜索名称、标签和备注</translation>
    </message>
    <message>
        <source>All tags</source>
        <translation>所有标签</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>收藏</translation>
    </message>
    <message>
        <source>By name</source>
        <translation>按名称</translation>
    </message>
    <message>
        <source>By date</source>
        <translation>按日期</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比较</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>收藏</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>添加文件夹…</translation>
    </message>
    <message>
        <source>Import Files…</source>
        <translation>导入文件…</translation>
    </message>
    <message>
        <source>&amp;Library</source>
        <translation>预设库(&amp;L)</translation>
    </message>
    <message>
        <source>Looking at the library&apos;s folders…</source>
        <translation>正在查看预设库的文件夹…</translation>
    </message>
    <message>
        <source>Looking at the library&apos;s folders… %1 of %2</source>
        <translation>正在查看预设库的文件夹… %1/%2</translation>
    </message>
    <message>
        <source>Not there now, its presets kept: %1</source>
        <translation>现在不存在，其预设已保留：%1</translation>
    </message>
    <message numerus="yes">
        <source>%n presets</source>
        <translation>
            <numerusform>%n 个预设</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n presets</source>
        <translation>
            <numerusform>%n 个预设中的 %1 个</numerusform>
        </translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>它所在的文件夹现在不存在。</translation>
    </message>
    <message>
        <source>Nothing can be opened while the keyboard is read or in bulk mode.</source>
        <translation>在读取键盘或批量模式下不能打开任何内容。</translation>
    </message>
    <message>
        <source>Opened %1 in the window; Undo brings back what was there.</source>
        <translation>已在窗口中打开 %1；撤销可恢复原来的内容。</translation>
    </message>
    <message>
        <source>%1 is in the library already.</source>
        <translation>%1 已在预设库中。</translation>
    </message>
    <message numerus="yes">
        <source>%n presets imported.</source>
        <translation>
            <numerusform>已导入 %n 个预设。</numerusform>
        </translation>
    </message>
    <message>
        <source>Some files were not imported</source>
        <translation>有些文件未能导入</translation>
    </message>
    <message>
        <source>A preset&apos;s name cannot be empty, start with a dot or hold a /.</source>
        <translation>预设名称不能为空、不能以点开头，也不能包含 /。</translation>
    </message>
    <message>
        <source>Kept in the library as %1.</source>
        <translation>已作为 %1 保存到预设库。</translation>
    </message>
    <message>
        <source>New preset</source>
        <translation>新预设</translation>
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
        <translation>撤销(&amp;U) %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>重做(&amp;R) %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>The settings file is damaged</source>
        <translation>设置文件已损坏</translation>
    </message>
    <message>
        <source>

To choose another keyboard, mend or delete the file, then open Keyboard → Keyboard… in the menu.</source>
        <translation>

如需选择其他键盘，请修复或删除该文件，然后在菜单中打开“键盘 → 键盘…”。</translation>
    </message>
    <message>
        <source>Closing the window</source>
        <translation>关闭窗口</translation>
    </message>
    <message>
        <source>from the keyboard (firmware %1)</source>
        <translation>来自键盘（固件 %1）</translation>
    </message>
    <message>
        <source>sent to memory slot %1</source>
        <translation>已发送到存储位置 %1</translation>
    </message>
    <message>
        <source>default preset</source>
        <translation>默认预设</translation>
    </message>
    <message>
        <source>history entry %1</source>
        <translation>历史记录第 %1 条</translation>
    </message>
    <message>
        <source>About padkbd</source>
        <translation>关于 padkbd</translation>
    </message>
    <message>
        <source>The log folder cannot be shown</source>
        <translation>无法显示日志文件夹</translation>
    </message>
    <message>
        <source>No file manager opened the folder. The log is in %1.</source>
        <translation>没有文件管理器打开该文件夹。日志位于 %1。</translation>
    </message>
    <message>
        <source>Save to &amp;Library…</source>
        <translation>保存到预设库(&amp;L)…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MemorySlotsDialog</name>
    <message>
        <source>Memory Slots</source>
        <translation>存储位置</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>存储位置</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>发送时间</translation>
    </message>
    <message>
        <source>Pads</source>
        <translation>打击垫</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>存储位置 %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Send Again</source>
        <translation>再次发送</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比较</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>另存为…</translation>
    </message>
    <message>
        <source>What padkbd sent to the memory slots of the keyboard %1:</source>
        <translation>padkbd 发送到键盘 %1 各存储位置的内容：</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>A send of %1 stopped after %2 of %3 settings.</source>
        <translation>发送 %1 时，%3 项设置中写入 %2 项后中断。</translation>
    </message>
    <message>
        <source>send stopped (%1/%2)</source>
        <translation>发送中断（%1/%2）</translation>
    </message>
    <message>
        <source>Keep in Library…</source>
        <translation>保存到预设库…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::MessageController</name>
    <message>
        <source>Cancelling…</source>
        <translation>正在取消…</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::PlayController</name>
    <message>
        <source>Click a pad, knob or button to edit it; with Ctrl held the mouse plays it on the simulated keyboard, and the wheel turns a knob</source>
        <translation>单击打击垫、旋钮或按钮进行编辑;按住 Ctrl 时鼠标在模拟键盘上演奏它,滚轮转动旋钮</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>监视器</translation>
    </message>
    <message>
        <source>Listen</source>
        <translation>监听</translation>
    </message>
    <message>
        <source>Hear what the keyboard sends while it is played</source>
        <translation>收听演奏时键盘发送的消息</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Hold the list still; what comes meanwhile is added on resuming</source>
        <translation>列表暂停滚动;期间收到的消息在继续时加入</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>保存…</translation>
    </message>
    <message>
        <source>Not listening.</source>
        <translation>未在监听。</translation>
    </message>
    <message>
        <source>Listening takes the keyboard from other programs until you stop.</source>
        <translation>监听期间键盘不能被其他程序使用,停止后归还。</translation>
    </message>
    <message>
        <source>Listening: play the keyboard.</source>
        <translation>正在监听:请演奏键盘。</translation>
    </message>
    <message>
        <source>Play pads on the keyboard to choose them; Esc stops.</source>
        <translation>在键盘上演奏打击垫即可选中;Esc 停止。</translation>
    </message>
    <message>
        <source>Play a control on the keyboard to choose it; Esc stops.</source>
        <translation>在键盘上演奏一个控件即可选中;Esc 停止。</translation>
    </message>
    <message>
        <source>Not chosen: %1</source>
        <translation>未选中:%1</translation>
    </message>
    <message>
        <source>%1 is not a pad: bulk mode chooses pads only.</source>
        <translation>%1 不是打击垫:批量模式只能选择打击垫。</translation>
    </message>
    <message>
        <source>%1 chosen.</source>
        <translation>已选中 %1。</translation>
    </message>
    <message>
        <source>%1 no longer chosen.</source>
        <translation>已取消选中 %1。</translation>
    </message>
    <message>
        <source>%1 chosen by playing it.</source>
        <translation>已通过演奏选中 %1。</translation>
    </message>
    <message>
        <source>%1 chosen by playing it; %2 send the same.</source>
        <translation>已通过演奏选中 %1;%2 发送相同的消息。</translation>
    </message>
    <message>
        <source>The monitor&apos;s lines were not saved</source>
        <translation>监视器的记录未保存</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) saved in %1.</source>
        <translation>
            <numerusform>已将 %n 行保存到 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Listening takes the keyboard from other programs: press Listen to start.</source>
        <translation>监听期间键盘不能被其他程序使用：按“监听”开始。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::SetView</name>
    <message>
        <source>Set</source>
        <translation>预设组</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>存储位置</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>预设</translation>
    </message>
    <message>
        <source>Last sent there</source>
        <translation>上次发送到此处的内容</translation>
    </message>
    <message>
        <source>Memory %1</source>
        <translation>存储位置 %1</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>打开…</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>保存…</translation>
    </message>
    <message>
        <source>Clear Slot</source>
        <translation>清空此位置</translation>
    </message>
    <message>
        <source>Send Set…</source>
        <translation>发送预设组…</translation>
    </message>
    <message>
        <source>Drop presets from the library onto the memory slots they go to.</source>
        <translation>把预设库中的预设拖放到它们要去的存储位置上。</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>预设组(&amp;S)</translation>
    </message>
    <message>
        <source>the new set</source>
        <translation>新预设组</translation>
    </message>
    <message>
        <source>Its folder is not there now.</source>
        <translation>它所在的文件夹现在不存在。</translation>
    </message>
    <message>
        <source>Memory %1: %2.</source>
        <translation>存储位置 %1：%2。</translation>
    </message>
    <message>
        <source>The set was not opened</source>
        <translation>预设组未能打开</translation>
    </message>
    <message>
        <source>The set was not saved</source>
        <translation>预设组未能保存</translation>
    </message>
    <message>
        <source>Saved as %1.</source>
        <translation>已保存为 %1。</translation>
    </message>
    <message>
        <source>An empty set</source>
        <translation>空的预设组</translation>
    </message>
    <message>
        <source>Set: %1</source>
        <translation>预设组：%1</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>空</translation>
    </message>
    <message>
        <source>%1 (not in the library)</source>
        <translation>%1（不在预设库中）</translation>
    </message>
    <message>
        <source>%1 (changed since the set named it)</source>
        <translation>%1（加入预设组后已被修改）</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>send stopped (%1/%2)</source>
        <translation>发送中断（%1/%2）</translation>
    </message>
    <message>
        <source>The set is empty: drop presets from the library onto its rows.</source>
        <translation>预设组是空的：请把预设库中的预设拖放到各行上。</translation>
    </message>
    <message>
        <source>The keyboard is busy; send the set when it is done.</source>
        <translation>键盘正忙；请在它完成后再发送预设组。</translation>
    </message>
    <message>
        <source>Memory %1: %2</source>
        <translation>存储位置 %1：%2</translation>
    </message>
    <message>
        <source>The set was not sent</source>
        <translation>预设组未能发送</translation>
    </message>
    <message>
        <source>Nothing was sent: the set names presets that changed or are gone since it was made.

%1</source>
        <translation>没有发送任何内容：预设组中有预设在建立之后已被修改或已不存在。

%1</translation>
    </message>
    <message>
        <source>Nothing was sent.</source>
        <translation>没有发送任何内容。</translation>
    </message>
    <message>
        <source>%1 already hold their presets of this set, written whole. Skip them?</source>
        <translation>%1 已完整写入本预设组中对应的预设。跳过它们吗？</translation>
    </message>
    <message numerus="yes">
        <source>Send %1 to %n memory slots?</source>
        <translation>
            <numerusform>把 %1 发送到 %n 个存储位置吗？</numerusform>
        </translation>
    </message>
    <message>
        <source>Sending the set…</source>
        <translation>正在发送预设组…</translation>
    </message>
    <message>
        <source>Looking for the keyboard…</source>
        <translation>正在查找键盘…</translation>
    </message>
    <message>
        <source>The set was sent: %1.</source>
        <translation>预设组已发送：%1。</translation>
    </message>
    <message>
        <source>Sending the set was cancelled.</source>
        <translation>预设组的发送已取消。</translation>
    </message>
    <message>
        <source>Sending the set failed.</source>
        <translation>预设组发送失败。</translation>
    </message>
    <message>
        <source> Memory %1 got %2 of %3 settings and holds a mix of old and new.</source>
        <translation>存储位置 %1 收到了 %3 项设置中的 %2 项，现在新旧设置混在一起。</translation>
    </message>
    <message>
        <source> Written whole: %1; sending the set again offers to skip them.</source>
        <translation>已完整写入：%1；再次发送预设组时可以跳过它们。</translation>
    </message>
    <message>
        <source> Skipped: %1.</source>
        <translation>已跳过：%1。</translation>
    </message>
</context>
<context>
    <name>padkbd::editor::ViewController</name>
    <message>
        <source>批量参数</source>
        <translation>批量参数</translation>
    </message>
    <message>
        <source>退出批量模式</source>
        <translation>退出批量模式</translation>
    </message>
    <message>
        <source>批量改变红色/绿色/蓝色</source>
        <translation>批量改变红色/绿色/蓝色</translation>
    </message>
    <message>
        <source>Pads chosen: %1</source>
        <translation>已选打击垫：%1</translation>
    </message>
</context>
</TS>
