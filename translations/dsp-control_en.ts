<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
        <translation>Feedback suppression:</translation>
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
