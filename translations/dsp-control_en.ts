<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Application</name>
    <message>
        <source>网络端口... (Ctrl+N)</source>
        <translation>Network ports... (Ctrl+N)</translation>
    </message>
    <message>
        <source>房间: 选择一个房间即连接到它的端口</source>
        <translation>Room: choosing a room links to its port</translation>
    </message>
    <message>
        <source>(所有端口)</source>
        <translation>(all ports)</translation>
    </message>
    <message>
        <source>%1 - 房间 %2</source>
        <translation>%1 - room %2</translation>
    </message>
</context>
<context>
    <name>Catalogue</name>
    <message>
        <source>音乐音量：</source>
        <translation>Music level:</translation>
    </message>
    <message>
        <source>直达声音量：</source>
        <translation>Direct level:</translation>
    </message>
    <message>
        <source>回声效果音量：</source>
        <translation>Echo level:</translation>
    </message>
    <message>
        <source>混响效果音量：</source>
        <translation>Reverb level:</translation>
    </message>
    <message>
        <source>高通：</source>
        <translation>High-pass:</translation>
    </message>
    <message>
        <source>压限启动时间：</source>
        <translation>Limiter attack:</translation>
    </message>
    <message>
        <source>压限释放时间：</source>
        <translation>Limiter release:</translation>
    </message>
    <message>
        <source>压限启动电平：</source>
        <translation>Limiter threshold:</translation>
    </message>
    <message>
        <source>压缩比例：</source>
        <translation>Ratio:</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>唱歌</source>
        <translation>Sing</translation>
    </message>
    <message>
        <source>舞蹈</source>
        <translation>Dance</translation>
    </message>
    <message>
        <source>麦克风高通：</source>
        <translation>Mic high-pass:</translation>
    </message>
    <message>
        <source>麦克风反馈抑制：</source>
        <translation>Anti-feedback:</translation>
    </message>
    <message>
        <source>回声高通：</source>
        <translation>Echo high-pass:</translation>
    </message>
    <message>
        <source>回声低通：</source>
        <translation>Echo low-pass:</translation>
    </message>
    <message>
        <source>回声预延时：</source>
        <translation>Echo pre-delay:</translation>
    </message>
    <message>
        <source>回声延时：</source>
        <translation>Echo delay:</translation>
    </message>
    <message>
        <source>回声重复比率：</source>
        <translation>Echo repeat:</translation>
    </message>
    <message>
        <source>回声右通道延时：</source>
        <translation>Echo right delay:</translation>
    </message>
    <message>
        <source>回声右通道预延时：</source>
        <translation>Echo right pre-delay:</translation>
    </message>
    <message>
        <source>混响时间：</source>
        <translation>Reverb time:</translation>
    </message>
    <message>
        <source>混响预延时：</source>
        <translation>Reverb pre-delay:</translation>
    </message>
    <message>
        <source>混响高通：</source>
        <translation>Reverb high-pass:</translation>
    </message>
    <message>
        <source>混响低通：</source>
        <translation>Reverb low-pass:</translation>
    </message>
    <message>
        <source>滤波器斜率：</source>
        <translation>Filter slope:</translation>
    </message>
    <message>
        <source>左通道延时：</source>
        <translation>Left delay:</translation>
    </message>
    <message>
        <source>右通道延时：</source>
        <translation>Right delay:</translation>
    </message>
    <message>
        <source>左通道静音</source>
        <translation>Mute left</translation>
    </message>
    <message>
        <source>右通道静音</source>
        <translation>Mute right</translation>
    </message>
    <message>
        <source>高通滤波器模式：</source>
        <translation>High-pass type:</translation>
    </message>
    <message>
        <source>Q值：</source>
        <translation>Q:</translation>
    </message>
    <message>
        <source>低通滤波器模式：</source>
        <translation>Low-pass type:</translation>
    </message>
    <message>
        <source>低通：</source>
        <translation>Low-pass:</translation>
    </message>
    <message>
        <source>延时：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>静 音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>波特率斜率：</source>
        <translation>Slope:</translation>
    </message>
    <message>
        <source>设备模式：</source>
        <translation>Device mode:</translation>
    </message>
    <message>
        <source>音乐输入增益：</source>
        <translation>Music input gain:</translation>
    </message>
    <message>
        <source>音乐起始音量：</source>
        <translation>Music start volume:</translation>
    </message>
    <message>
        <source>音乐最大音量：</source>
        <translation>Music max volume:</translation>
    </message>
    <message>
        <source>话筒起始音量：</source>
        <translation>Mic start volume:</translation>
    </message>
    <message>
        <source>话筒最大音量：</source>
        <translation>Mic max volume:</translation>
    </message>
    <message>
        <source>效果起始音量：</source>
        <translation>Effect start volume:</translation>
    </message>
    <message>
        <source>效果最大音量：</source>
        <translation>Effect max volume:</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>管理员</source>
        <translation>Manager</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>音乐输入端口：</source>
        <translation>Music input port:</translation>
    </message>
    <message>
        <source>音乐</source>
        <translation>Music</translation>
    </message>
    <message>
        <source>话筒</source>
        <translation>Mic</translation>
    </message>
    <message>
        <source>效果</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>自动键盘锁：</source>
        <translation>Automatic keyboard lock:</translation>
    </message>
    <message>
        <source>麦克风</source>
        <translation>Microphone</translation>
    </message>
    <message>
        <source>主输出</source>
        <translation>Main output</translation>
    </message>
    <message>
        <source>中置输出</source>
        <translation>Centre output</translation>
    </message>
    <message>
        <source>超低音输出</source>
        <translation>Subwoofer output</translation>
    </message>
    <message>
        <source>后置输出</source>
        <translation>Rear output</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>A组</source>
        <translation>Group A</translation>
    </message>
    <message>
        <source>B组</source>
        <translation>Group B</translation>
    </message>
    <message>
        <source>回声</source>
        <translation>Echo</translation>
    </message>
    <message>
        <source>混响</source>
        <translation>Reverb</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Freq</translation>
    </message>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>Q值</source>
        <translation>Q</translation>
    </message>
</context>
<context>
    <name>CommonBandPanel</name>
    <message>
        <source>调节当前EQ段：%1</source>
        <translation>Current EQ band: %1</translation>
    </message>
</context>
<context>
    <name>ControlNames</name>
    <message>
        <source>EQ 第%1段</source>
        <translation>EQ band %1</translation>
    </message>
    <message>
        <source>选择 %1</source>
        <translation>selects %1</translation>
    </message>
    <message>
        <source>显示的值</source>
        <translation>value shown</translation>
    </message>
    <message>
        <source>步进按钮</source>
        <translation>step buttons</translation>
    </message>
    <message>
        <source>可选：%1</source>
        <translation>choices: %1</translation>
    </message>
    <message>
        <source>%1 至 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>EditModel</name>
    <message>
        <source>%1 等 %2 项参数</source>
        <translation>%1 and others, %2 parameters</translation>
    </message>
    <message>
        <source>%1 (%2 项参数)</source>
        <translation>%1 (%2 parameters)</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>相位</source>
        <translation>phase</translation>
    </message>
    <message>
        <source>音量</source>
        <translation> volume</translation>
    </message>
    <message>
        <source>开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>将改变 %1 项参数 (%2)</source>
        <translation>Changes %1 parameters (%2)</translation>
    </message>
    <message>
        <source>该文件与当前设置相同, 不会改变任何参数</source>
        <translation>The file holds the current setting; no parameter changes</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>连接失败!</source>
        <translation>Connection failed!</translation>
    </message>
    <message>
        <source>已断开连接!</source>
        <translation>Disconnected!</translation>
    </message>
    <message>
        <source>保存成功!</source>
        <translation>Saved!</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>已断开连接,正在重新连接...</source>
        <translation>Disconnected, reconnecting...</translation>
    </message>
    <message>
        <source>正在重新连接...</source>
        <translation>Reconnecting...</translation>
    </message>
    <message>
        <source>未找到设备,正在查找...</source>
        <translation>No processor found, still looking...</translation>
    </message>
    <message>
        <source>无法打开端口 %1</source>
        <translation>Cannot open port %1</translation>
    </message>
    <message>
        <source>端口 %1 不存在(设备未连接或已拔出)</source>
        <translation>Port %1 does not exist (the device is not connected or was unplugged)</translation>
    </message>
    <message>
        <source>端口 %1 正被其他程序占用</source>
        <translation>Port %1 is in use by another program</translation>
    </message>
    <message>
        <source>没有权限打开端口 %1,请将当前用户加入拥有该设备的用户组后重新登录</source>
        <translation>No permission to open port %1; add your user to the group that owns the device and log in again</translation>
    </message>
    <message>
        <source>没有权限打开端口 %1,请将当前用户加入 %2 组后重新登录</source>
        <translation>No permission to open port %1; add your user to the %2 group and log in again</translation>
    </message>
    <message>
        <source>端口 %1 的主机名无法解析</source>
        <translation>The host name of port %1 cannot be resolved</translation>
    </message>
    <message>
        <source>端口 %1 拒绝连接(服务器未运行或端口号有误)</source>
        <translation>Port %1 refused the connection (the server is not running or the port number is wrong)</translation>
    </message>
    <message>
        <source>端口 %1 无应答(连接超时)</source>
        <translation>Port %1 does not answer (the connection timed out)</translation>
    </message>
    <message>
        <source>端口 %1 的连接已被服务器关闭</source>
        <translation>The server closed the connection of port %1</translation>
    </message>
    <message>
        <source>设备搜索...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>端口 %1 已断开</source>
        <translation>Port %1 disconnected</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>加载中...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>连接中...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>下载数据...</source>
        <translation>Downloading...</translation>
    </message>
    <message>
        <source>保存中...</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>缓存长度K:C:L=%1 %2 %3</source>
        <translation>Buffer length K:C:L=%1 %2 %3</translation>
    </message>
    <message>
        <source>校验数据匹配不一致:%1得到的验证数据：%2</source>
        <translation>Checksum mismatch: computed %1, received %2</translation>
    </message>
    <message>
        <source>接收到的错误数据：%1</source>
        <translation>Received faulty data: %1</translation>
    </message>
    <message>
        <source>重发(第 %1 次): %2 ms 内未收到确认</source>
        <translation>Repeat %1: no acknowledgement after %2 ms</translation>
    </message>
    <message>
        <source>核对中...</source>
        <translation>Verifying...</translation>
    </message>
</context>
<context>
    <name>NetworkPortList</name>
    <message>
        <source>请输入 tcp://主机:端口 或 rfc2217://主机:端口</source>
        <translation>Enter tcp://HOST:PORT or rfc2217://HOST:PORT</translation>
    </message>
    <message>
        <source>地址无效: %1</source>
        <translation>Invalid address: %1</translation>
    </message>
    <message>
        <source>已在列表中</source>
        <translation>Already in the list</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>显示本帮助并退出。</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>显示版本并退出。</source>
        <translation>Show the version and exit.</translation>
    </message>
    <message>
        <source>查找处理器时先试端口 NAME (设备路径、伪终端、tcp://HOST:PORT 或 rfc2217://HOST:PORT; 可重复)。</source>
        <translation>Try port NAME first when scanning for the processor (a device path, a pseudo-terminal, tcp://HOST:PORT or rfc2217://HOST:PORT; repeatable).</translation>
    </message>
    <message>
        <source>预设文件存放在 DIR 而不是默认文件夹 (仅用于窗口)。</source>
        <translation>Keep the preset files in DIR instead of the default folder (window only).</translation>
    </message>
    <message>
        <source>程序使用的语言 LANG: zh (处理器自己的中文) 或 en。默认: 英文桌面用英文, 否则用中文。</source>
        <translation>Speak LANG: zh (the processor&apos;s own Chinese texts) or en. Default: English on an English desktop, else Chinese.</translation>
    </message>
    <message>
        <source>串口上的数字音效处理器的遥控前面板。
不带命令时打开窗口; 带命令时执行该命令后退出。</source>
        <translation>Remote front panel for the digital audio effect processor on a serial port.
Without a command it opens the window; with one it runs it and exits.</translation>
    </message>
    <message>
        <source>一个命令 (见下); 没有命令: 打开窗口。</source>
        <translation>A command (see below); none: the window.</translation>
    </message>
    <message>
        <source>以一个 JSON 对象输出 info 的结果 (rooms: 一个 JSON 数组)。</source>
        <translation>Print the result of info as a JSON object (rooms: one JSON array).</translation>
    </message>
    <message>
        <source>rooms: 只处理这些房间 (以逗号分隔的名称)。</source>
        <translation>rooms: serve only these rooms (names separated by commas).</translation>
    </message>
    <message>
        <source>rooms: 同时最多处理 N 个房间 (默认: 全部, 最多 64)。</source>
        <translation>rooms: serve at most N rooms at the same time (default: all, at most 64).</translation>
    </message>
    <message>
        <source>rooms restore: 只比较并说明恢复会改变什么, 不写入。</source>
        <translation>rooms restore: only compare and say what a restore would change; writes nothing.</translation>
    </message>
    <message>
        <source>窗口: 从房间文件 FILE 中选择房间 (会被记住)。</source>
        <translation>Window: choose rooms from the rooms file FILE (remembered).</translation>
    </message>
    <message>
        <source>
命令(不打开窗口; 退出状态: 成功为 0, 任何失败为 1, 命令或参数有误为 2):
  info                  处理器的设备代码、当前模式及其 15 个模式名称
                        (--json: 输出一个 JSON 对象)。
  backup FILE           下载全部参数并写入预设文件 FILE (经由临时文件:
                        失败时 FILE 保持原样)。
  restore FILE          检查预设文件 FILE, 上传, 再次下载并比较: 只有处理器
                        中的设置与文件完全相同时才算成功。
  recall-mode N         将处理器切换到它的模式 N (1..15)。
  save-mode N NAME      将处理器的当前设置保存为模式 N, 名称为 NAME
                        (可打印 ASCII 字符, 最多 20 个)。
  rooms FILE COMMAND    在房间文件 FILE 的每个房间上同时执行 COMMAND
                        (每行一个房间: 名称 端口; --only, --jobs, --json):
    info                每个房间的设备代码、当前模式和模式名称。
    backup DIR          每个房间写入 DIR/名称.Wfxr。
    check PRESET        下载每个房间并与预设文件比较, 不写入任何内容。
    restore PRESET      在每个房间上恢复并校验 (--dry-run: 只说明会改变什么)。
                        退出状态: 全部成功 (check: 全部相同) 为 0, 否则为 1。
  serve --rooms FILE    前台: 保持房间文件 FILE 中每个房间的连接, 提供 HTTP API、
                        事件 WebSocket 和浏览器页面, 直到 SIGINT 或 SIGTERM
                        (--listen ADDRESS:PORT, 默认 127.0.0.1:8480;
                        --token-file FILE; --static DIR)。
  export SOURCE [OUT]   将设置写成可读的 JSON (每行一个参数; --lang en:
                        英文名称); 没有 OUT 时输出到标准输出。
  import IN OUT         将导出的 JSON 文件 IN 写回预设文件 OUT (有问题时
                        列出每个问题及其行号, 不写任何文件)。
  diff A B              按页列出 A 与 B 不同的参数 (--json); 相同为 0,
                        不同为 1。
  report SOURCE OUT     将设置的报告 (各页、均衡曲线及全部参数) 写成 PDF
                        文件 OUT。
SOURCE, A, B: 预设文件、导出的 JSON 文件或端口 (端口的处理器只被读取)。

端口 NAME 是串口设备 (/dev/ttyUSB0), 或串口网络服务器后面的处理器:
tcp://HOST:PORT (原始 TCP) 或 rfc2217://HOST:PORT (带串口控制的 Telnet)。
</source>
        <translation>
Commands (no window; exit status 0 on success, 1 on any failure, 2 for a
wrong command or wrong arguments):
  info                  The processor&apos;s device code, current mode and its 15
                        mode names (--json: one JSON object).
  backup FILE           Download everything and write it to the preset file
                        FILE (through a temporary file: a failure leaves FILE
                        as it was).
  restore FILE          Check the preset file FILE, upload it, download again
                        and compare: success only when the processor holds
                        exactly the file&apos;s settings.
  recall-mode N         Switch the processor to its mode N (1..15).
  save-mode N NAME      Store the processor&apos;s current setting as mode N under
                        NAME (printable ASCII, at most 20 characters).
  rooms FILE COMMAND    Run COMMAND on every room of the rooms file FILE at
                        once (one room a line: NAME PORT; --only, --jobs,
                        --json):
    info                Each room&apos;s device code, current mode and mode names.
    backup DIR          Write DIR/NAME.Wfxr for every room.
    check PRESET        Download every room and compare it with the preset
                        file; writes nothing.
    restore PRESET      Restore and verify on every room (--dry-run: only say
                        what a restore would change).
                        Exit status 0 when every room succeeded (check: and
                        matches), 1 otherwise.
  serve --rooms FILE    The front desk: keep every room of the rooms file FILE
                        linked and serve the HTTP API, the events WebSocket
                        and the dashboard until SIGINT or SIGTERM
                        (--listen ADDRESS:PORT, default 127.0.0.1:8480;
                        --token-file FILE; --static DIR).
  export SOURCE [OUT]   Write the settings as readable JSON (one parameter a
                        line; --lang en: English names); without OUT to
                        standard output.
  import IN OUT         Write the exported JSON file IN back to the preset file
                        OUT (on problems: each with its line, nothing written).
  diff A B              List the parameters that differ between A and B, by
                        page (--json); exit 0 when equal, 1 when they differ.
  report SOURCE OUT     Write the report of the settings (the pages, the EQ
                        curves and every parameter) to the PDF file OUT.
SOURCE, A, B: a preset file, an exported JSON file or a port (a processor on a
port is only read).

A port NAME is a serial device (/dev/ttyUSB0), or a processor behind a
serial-over-network server: tcp://HOST:PORT (raw TCP) or
rfc2217://HOST:PORT (Telnet with serial port control).
</translation>
    </message>
</context>
<context>
    <name>PageBuilder</name>
    <message>
        <source>音量管理</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>系统用户设置</source>
        <translation>System user</translation>
    </message>
    <message>
        <source>系统密码：</source>
        <translation>System password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>系统密码修改</source>
        <translation>Change system password</translation>
    </message>
    <message>
        <source>旧密码：</source>
        <translation>Old password:</translation>
    </message>
    <message>
        <source>新密码输入：</source>
        <translation>New password:</translation>
    </message>
    <message>
        <source>新密码确定：</source>
        <translation>Repeat new:</translation>
    </message>
    <message>
        <source>自动键盘锁</source>
        <translation>Automatic keyboard lock</translation>
    </message>
    <message>
        <source>自动键盘锁密码修改</source>
        <translation>Change keyboard lock password</translation>
    </message>
    <message>
        <source>设备管理码：</source>
        <translation>Device code:</translation>
    </message>
    <message>
        <source>电脑数据备份管理</source>
        <translation>Presets on this computer</translation>
    </message>
    <message>
        <source>      序号</source>
        <translation>      No.</translation>
    </message>
    <message>
        <source>        （电脑）数据名称</source>
        <translation>        Preset name (computer)</translation>
    </message>
    <message>
        <source>备份文件名称：</source>
        <translation>Preset name:</translation>
    </message>
    <message>
        <source>保存数据到电脑</source>
        <translation>Save to computer</translation>
    </message>
    <message>
        <source>上传数据到设备</source>
        <translation>Load to processor</translation>
    </message>
    <message>
        <source>设备模式管理</source>
        <translation>Device modes</translation>
    </message>
    <message>
        <source>（当前模式：1 ）</source>
        <translation>(Current mode: 1)</translation>
    </message>
    <message>
        <source>模式名称：</source>
        <translation>Mode name:</translation>
    </message>
    <message>
        <source>调用设备模式</source>
        <translation>Recall mode</translation>
    </message>
    <message>
        <source>保存设备模式</source>
        <translation>Store mode</translation>
    </message>
</context>
<context>
    <name>PageTab</name>
    <message>
        <source>音乐</source>
        <translation>Music</translation>
    </message>
    <message>
        <source>麦克风</source>
        <translation>Mic</translation>
    </message>
    <message>
        <source>效果</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>主输出</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>中置输出</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>超低音输出</source>
        <translation>Subwoofer</translation>
    </message>
    <message>
        <source>后置输出</source>
        <translation>Rear</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>Setup</translation>
    </message>
</context>
<context>
    <name>Presets</name>
    <message>
        <source>文件不存在</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>文件格式错误!</source>
        <translation>File format error!</translation>
    </message>
    <message>
        <source>数据文件损坏!</source>
        <translation>Data file is corrupted!</translation>
    </message>
    <message>
        <source>预设名称无效，不能包含 / 或 \，也不能为空、. 或 ..!</source>
        <translation>Invalid preset name: it may not be empty, &quot;.&quot; or &quot;..&quot;, nor contain &quot;/&quot; or &quot;\&quot;!</translation>
    </message>
    <message>
        <source>预设文件保存失败!</source>
        <translation>Could not save the preset file!</translation>
    </message>
    <message>
        <source>文件内容无法识别，行号: </source>
        <translation>Unreadable preset file, line: </translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>第 %1 页, 共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>设置报告</source>
        <translation>Settings report</translation>
    </message>
    <message>
        <source>房间或文件: %1</source>
        <translation>Room or file: %1</translation>
    </message>
    <message>
        <source>日期: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>设备代码: %1</source>
        <translation>Device code: %1</translation>
    </message>
    <message>
        <source>当前模式: %1 %2</source>
        <translation>Current mode: %1 %2</translation>
    </message>
    <message>
        <source>场景: %1</source>
        <translation>Scene: %1</translation>
    </message>
    <message>
        <source>设备模式</source>
        <translation>Device modes</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>均衡段</source>
        <translation>EQ bands</translation>
    </message>
    <message>
        <source>段</source>
        <translation>Band</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>Q值</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>滤波器</source>
        <translation>Filters</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>其它参数</source>
        <translation>Other parameters</translation>
    </message>
</context>
<context>
    <name>StoreRefresh</name>
    <message>
        <source>（当前模式：%1 ）</source>
        <translation>(Current mode: %1)</translation>
    </message>
</context>
<context>
    <name>SystemServices</name>
    <message>
        <source>设备忙,请稍后再试!</source>
        <translation>The processor is busy, please try again shortly!</translation>
    </message>
</context>
<context>
    <name>Traffic</name>
    <message>
        <source>打开失败 %1: %2</source>
        <translation>Open failed %1: %2</translation>
    </message>
    <message>
        <source>打开 %1</source>
        <translation>Open %1</translation>
    </message>
    <message>
        <source>接收 %1</source>
        <translation>Received %1</translation>
    </message>
    <message>
        <source>关闭 %1</source>
        <translation>Close %1</translation>
    </message>
    <message>
        <source>发送失败 %1: %2</source>
        <translation>Send failed %1: %2</translation>
    </message>
    <message>
        <source>发送 %1</source>
        <translation>Sent %1</translation>
    </message>
</context>
<context>
    <name>WidgetFactory</name>
    <message>
        <source>密码，最多 %1 位，输入后按回车</source>
        <translation>password, up to %1 characters, Enter to confirm</translation>
    </message>
</context>
<context>
    <name>WindowAccess</name>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>打开通信记录窗口，Ctrl+L</source>
        <translation>opens the traffic log window, Ctrl+L</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>把窗口缩到任务栏</source>
        <translation>shrinks the window to the taskbar</translation>
    </message>
    <message>
        <source>最大化</source>
        <translation>Maximise</translation>
    </message>
    <message>
        <source>让窗口占满屏幕，再按一次恢复原来大小</source>
        <translation>fills the screen with the window; press again for its former size</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭程序</source>
        <translation>closes the program</translation>
    </message>
    <message>
        <source>查找设备并连接</source>
        <translation>finds the processor and connects to it</translation>
    </message>
    <message>
        <source>断开与设备的连接</source>
        <translation>disconnects from the processor</translation>
    </message>
    <message>
        <source>把本页所有EQ段恢复为默认值</source>
        <translation>resets every EQ band of this page to its default</translation>
    </message>
    <message>
        <source>设置 A</source>
        <translation>Setting A</translation>
    </message>
    <message>
        <source>切换到设置 A，只发送不同的参数</source>
        <translation>switches to setting A, sending only the parameters that differ</translation>
    </message>
    <message>
        <source>设置 B</source>
        <translation>Setting B</translation>
    </message>
    <message>
        <source>切换到设置 B，只发送不同的参数</source>
        <translation>switches to setting B, sending only the parameters that differ</translation>
    </message>
    <message>
        <source>复制设置</source>
        <translation>Copy setting</translation>
    </message>
    <message>
        <source>麦克风EQ段</source>
        <translation>Mic EQ bands</translation>
    </message>
    <message>
        <source>左右滚动，显示其余的EQ段</source>
        <translation>scrolls sideways to show the other EQ bands</translation>
    </message>
    <message>
        <source>用系统密码取得管理员权限</source>
        <translation>gives manager rights for the system password</translation>
    </message>
    <message>
        <source>系统用户权限，由系统密码决定</source>
        <translation>system user rights, set by the system password</translation>
    </message>
    <message>
        <source>设备的识别码，只读</source>
        <translation>the processor&apos;s identification code, read only</translation>
    </message>
    <message>
        <source>电脑数据列表</source>
        <translation>Presets on the computer</translation>
    </message>
    <message>
        <source>电脑上保存的数据，选中一行把名称填入备份文件名称</source>
        <translation>presets saved on the computer; choosing a row puts its name into the backup file name</translation>
    </message>
    <message>
        <source>保存到电脑或上传到设备的数据名称</source>
        <translation>name of the preset to save to the computer or upload to the processor</translation>
    </message>
    <message>
        <source>把当前设置以备份文件名称保存到电脑</source>
        <translation>saves the current setting on the computer under the backup file name</translation>
    </message>
    <message>
        <source>把选中的电脑数据上传到设备</source>
        <translation>uploads the chosen preset to the processor</translation>
    </message>
    <message>
        <source>要调用或保存的设备模式，共 15 个</source>
        <translation>the processor mode to recall or store, one of 15</translation>
    </message>
    <message>
        <source>保存设备模式时用的名称，最多 20 个英文字母、数字或符号</source>
        <translation>name a stored mode gets, at most 20 English letters, digits or symbols</translation>
    </message>
    <message>
        <source>让设备切换到选中的模式</source>
        <translation>switches the processor to the chosen mode</translation>
    </message>
    <message>
        <source>把当前设置以模式名称保存到选中的模式，需要管理员权限</source>
        <translation>stores the current setting in the chosen mode under the mode name; needs manager rights</translation>
    </message>
    <message>
        <source>用键盘锁密码解锁</source>
        <translation>unlocks with the keyboard lock password</translation>
    </message>
    <message>
        <source>麦克风页显示 A 组</source>
        <translation>shows mic group A on the mic page</translation>
    </message>
    <message>
        <source>麦克风页显示 B 组</source>
        <translation>shows mic group B on the mic page</translation>
    </message>
    <message>
        <source>第%1页，Ctrl+%1</source>
        <translation>page %1, Ctrl+%1</translation>
    </message>
    <message>
        <source>A 与 B 的差异</source>
        <translation>Differences between A and B</translation>
    </message>
    <message>
        <source>列出 A 与 B 不同的参数</source>
        <translation>List the parameters in which A and B differ</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>把当前设置、均衡曲线和全部参数导出为 PDF 报告</source>
        <translation>Export the current setting, its EQ curves and every parameter as a PDF report</translation>
    </message>
    <message>
        <source>读取设备中的设置，列出与本机不同的参数，Ctrl+Shift+V</source>
        <translation>Reads the processor&apos;s settings and lists the parameters that differ from this window&apos;s, Ctrl+Shift+V</translation>
    </message>
</context>
<context>
    <name>WindowLinkView</name>
    <message>
        <source>状态: %1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>编辑: %1</source>
        <translation>Editing: %1</translation>
    </message>
    <message>
        <source>提示: %1</source>
        <translation>Notice: %1</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>等待设备确认: %1</source>
        <translation>Waiting for the processor: %1</translation>
    </message>
</context>
<context>
    <name>dsp::EditPipeline</name>
    <message>
        <source>EQ重置 %1</source>
        <translation>EQ reset %1</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>dsp::EditSession</name>
    <message>
        <source>无法%1: 页面已锁定</source>
        <translation>%1 refused: the pages are locked</translation>
    </message>
    <message>
        <source>无法%1: 设备忙,请稍后再试</source>
        <translation>%1 refused: the processor is busy, please try again shortly</translation>
    </message>
    <message>
        <source>无法%1: 自动模式锁定了 %2</source>
        <translation>%1 refused: automatic mode locks %2</translation>
    </message>
    <message>
        <source>无法切换: 页面已锁定</source>
        <translation>Switch refused: the pages are locked</translation>
    </message>
    <message>
        <source>无法切换: 设备忙,请稍后再试</source>
        <translation>Switch refused: the processor is busy, please try again shortly</translation>
    </message>
    <message>
        <source>A/B: 切换到 %1</source>
        <translation>A/B: switch to %1</translation>
    </message>
    <message>
        <source>设备已连接: 当前为设备中的设置 (A), 离线编辑的设置已放入 B</source>
        <translation>Connected: the processor&apos;s setting is current (A), the setting edited offline is in B</translation>
    </message>
    <message>
        <source>, 但无法保存为预设文件</source>
        <translation>, but it could not be saved as a preset file</translation>
    </message>
    <message>
        <source>, 并已保存为预设 &quot;%1&quot;</source>
        <translation> and saved as preset &quot;%1&quot;</translation>
    </message>
    <message>
        <source>离线编辑: %1</source>
        <translation>Offline: %1</translation>
    </message>
    <message>
        <source>无法核对: 设备忙,请稍后再试</source>
        <translation>Verify refused: the processor is busy, please try again shortly</translation>
    </message>
    <message>
        <source>设备忙,请稍后再试</source>
        <translation>The processor is busy, please try again shortly</translation>
    </message>
    <message>
        <source>设备的设置已重新读取, 请再次核对</source>
        <translation>The processor&apos;s settings were read again since: please verify once more</translation>
    </message>
    <message>
        <source>页面已锁定</source>
        <translation>The pages are locked</translation>
    </message>
    <message>
        <source>采用设备设置</source>
        <translation>Take the processor&apos;s settings</translation>
    </message>
</context>
<context>
    <name>dsp::EqGraph</name>
    <message>
        <source>均衡曲线</source>
        <translation>EQ graph</translation>
    </message>
    <message>
        <source>高通滤波</source>
        <translation>High-pass filter</translation>
    </message>
    <message>
        <source>低通滤波</source>
        <translation>Low-pass filter</translation>
    </message>
    <message>
        <source>第%1段</source>
        <translation>Band %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>dsp::MainWindow</name>
    <message>
        <source>数字音效处理器控制中心</source>
        <translation>Digital Audio Processor Control Centre</translation>
    </message>
    <message>
        <source>通信记录 (Ctrl+L)</source>
        <translation>Traffic (Ctrl+L)</translation>
    </message>
    <message>
        <source>麦克风A组</source>
        <translation>Mic group A</translation>
    </message>
    <message>
        <source>麦克风B组</source>
        <translation>Mic group B</translation>
    </message>
    <message>
        <source>联机</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>EQ重置</source>
        <translation>EQ reset</translation>
    </message>
    <message>
        <source>设置 A</source>
        <translation>Setting A</translation>
    </message>
    <message>
        <source>设置 B</source>
        <translation>Setting B</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>唱歌</source>
        <translation>Sing</translation>
    </message>
    <message>
        <source>舞蹈</source>
        <translation>Dance</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>把当前设置 %1 复制到 %2</source>
        <translation>Copy the current setting %1 to %2</translation>
    </message>
    <message>
        <source>输入解锁密码：</source>
        <translation>Unlock password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>差异</source>
        <translation>Diff</translation>
    </message>
    <message>
        <source>列出 A 与 B 不同的参数</source>
        <translation>List the parameters in which A and B differ</translation>
    </message>
    <message>
        <source>导出报告...</source>
        <translation>Report...</translation>
    </message>
    <message>
        <source>把当前设置、均衡曲线和全部参数导出为 PDF 报告</source>
        <translation>Export the current setting, its EQ curves and every parameter as a PDF report</translation>
    </message>
    <message>
        <source>A 与 B 的差异</source>
        <translation>Differences between A and B</translation>
    </message>
    <message>
        <source>A 与 B 相同</source>
        <translation>A and B are the same</translation>
    </message>
    <message>
        <source>%1 项参数不同 (%2 → %3)</source>
        <translation>%1 parameter(s) differ (%2 → %3)</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>设置报告.pdf</source>
        <translation>settings report.pdf</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>报告无法写入: %1</source>
        <translation>The report could not be written: %1</translation>
    </message>
    <message>
        <source>核对设备</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>核对设备 (Ctrl+Shift+V)</source>
        <translation>Verify against the processor (Ctrl+Shift+V)</translation>
    </message>
    <message>
        <source>本机设置与设备中的设置相同</source>
        <translation>This window&apos;s settings are the same as the processor&apos;s</translation>
    </message>
    <message>
        <source>%1 项参数与设备中的不同 (设备 → 本机)</source>
        <translation>%1 parameters differ from the processor&apos;s (processor → this window)</translation>
    </message>
    <message>
        <source>与设备不同的参数</source>
        <translation>Parameters that differ from the processor</translation>
    </message>
    <message>
        <source>发送本机设置</source>
        <translation>Send this window&apos;s settings</translation>
    </message>
    <message>
        <source>采用设备设置</source>
        <translation>Take the processor&apos;s settings</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>dsp::ModePanel</name>
    <message>
        <source>模式名称只能使用英文字母、数字和符号</source>
        <translation>Mode names take English letters, digits and symbols only</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>模式切换为%1?</source>
        <translation>Switch to mode %1?</translation>
    </message>
    <message>
        <source>用户模式无法执行保存操作!</source>
        <translation>Storing needs manager rights!</translation>
    </message>
    <message>
        <source>模式名称无效: 只能使用英文字母、数字、空格和符号, 最多20个字符!</source>
        <translation>Invalid mode name: English letters, digits, blanks and symbols only, at most 20 characters!</translation>
    </message>
    <message>
        <source>保存当前模式为 %1-%2?</source>
        <translation>Store the current setting as mode %1-%2?</translation>
    </message>
</context>
<context>
    <name>dsp::NetworkPortsDialog</name>
    <message>
        <source>网络端口</source>
        <translation>Network ports</translation>
    </message>
    <message>
        <source>串口服务器上的处理器: tcp://主机:端口 (原始 TCP) 或 rfc2217://主机:端口。
列表中的端口与串口一起搜索,并在下次启动时保留。</source>
        <translation>Processors behind serial servers: tcp://HOST:PORT (raw TCP) or rfc2217://HOST:PORT.
The ports listed are searched with the serial ports and kept for the next start.</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
</context>
<context>
    <name>dsp::PresetPanel</name>
    <message>
        <source>预设文件夹无法创建: %1 (%2)</source>
        <translation>The preset folder cannot be created: %1 (%2)</translation>
    </message>
    <message>
        <source>*系统提示*</source>
        <translation>*System notice*</translation>
    </message>
    <message>
        <source>文件已存在,覆盖它吗?</source>
        <translation>The file exists. Replace it?</translation>
    </message>
    <message>
        <source>离线编辑-%1</source>
        <translation>Offline-%1</translation>
    </message>
    <message>
        <source>加载模式：%1 ?</source>
        <translation>Load preset: %1 ?</translation>
    </message>
    <message>
        <source>加载预设 %1</source>
        <translation>Load preset %1</translation>
    </message>
</context>
<context>
    <name>dsp::StatusDialog</name>
    <message>
        <source>设备状态</source>
        <translation>Processor status</translation>
    </message>
    <message>
        <source>请稍等,可能需要几秒钟才能完成操作！</source>
        <translation>Please wait, this may take a few seconds!</translation>
    </message>
</context>
<context>
    <name>dsp::SystemPage</name>
    <message>
        <source>密码不一致!</source>
        <translation>The passwords differ!</translation>
    </message>
    <message>
        <source>密码错误!</source>
        <translation>Wrong password!</translation>
    </message>
    <message>
        <source>解锁成功</source>
        <translation>Unlocked</translation>
    </message>
</context>
<context>
    <name>dsp::TrafficWindow</name>
    <message>
        <source>通信记录</source>
        <translation>Traffic</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存通信记录</source>
        <translation>Save the traffic</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;所有文件 (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>无法保存通信记录到 %1：%2</source>
        <translation>Could not save the traffic to %1: %2</translation>
    </message>
    <message>
        <source>已保存到 %1</source>
        <translation>Saved to %1</translation>
    </message>
</context>
</TS>
