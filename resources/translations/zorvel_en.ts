<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../ui/AboutDialog.ui" line="+30"/>
        <source>  关于Zorvel</source>
        <translation>  About Zorvel</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>产品名称：Zorvel智能语音鼠标</source>
        <translation>Product: Zorvel smart voice mouse</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>产品版本：1.20</source>
        <translation>Version: 1.20</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>版权所有：Pelmora</source>
        <translation>Copyright: Pelmora</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AudioRecorder</name>
    <message>
        <location filename="../../voice/AudioRecorder.ui" line="+44"/>
        <source>中</source>
        <translation>ZH</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>请说内容！</source>
        <translation>Speak now!</translation>
    </message>
</context>
<context>
    <name>CustomCommandEditor</name>
    <message>
        <location filename="../../custom/CustomCommandEditor.ui" line="+8"/>
        <source>用户自定义设置</source>
        <translation>Custom commands</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>   用户自定义设置</source>
        <translation>   Custom commands</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>新增命令词</source>
        <translation>New command</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已定义命令词</source>
        <translation>My commands</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> 请添加新命令词：</source>
        <translation> New command word:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> 请选择添加命令词的类型：</source>
        <translation> What the command opens:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 网址</source>
        <translation> Website</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+4"/>
        <location line="+4"/>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location line="-7"/>
        <source> 文件夹</source>
        <translation> Folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> 文件</source>
        <translation> File</translation>
    </message>
    <message>
        <location line="+6"/>
        <source> 已定义命令词(只可彻底删除)：</source>
        <translation> Command words (deleting is permanent):</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>删除命令词</source>
        <translation>Delete command</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> 已定义命令词功能：</source>
        <translation> What each command opens:</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>命令词</source>
        <translation>Command word</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>内容</source>
        <translation>Opens</translation>
    </message>
    <message>
        <location filename="../../custom/CustomCommandEditor.cpp" line="+133"/>
        <source>网页</source>
        <translation>Web page</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文件夹</source>
        <translation>Folder</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>%1 已被占用！</source>
        <translation>%1 is already taken!</translation>
    </message>
    <message>
        <location line="+120"/>
        <source>浏览文件夹</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>浏览文件</source>
        <translation>Choose a file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text files (*.txt *.exe);;Images (*.png *.xpm *.jpg);;All Files (*.*)</source>
        <translation>Text files (*.txt *.exe);;Images (*.png *.xpm *.jpg);;All files (*.*)</translation>
    </message>
</context>
<context>
    <name>FirstRunHint</name>
    <message>
        <location filename="../../ui/FirstRunHint.ui" line="+30"/>
        <source>  重要提示</source>
        <translation>  Important</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>为了智能语音鼠标的正常使用</source>
        <translation>For the voice mouse to work properly,</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>请同意设置开机自启动</source>
        <translation>please let Zorvel start when you log in.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>设置开机自启动</source>
        <translation>Start Zorvel when I log in</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>现在可以用英语说话（内置离线引擎）。识别中文需要语音识别服务器，请在 软件设置 → 语音识别 中设置。</source>
        <translation>You can speak English now (built-in offline engine). For Chinese, set up a speech recognition server under Settings → Speech.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FirstRunSkills</name>
    <message>
        <location filename="../../ui/FirstRunSkills.ui" line="+30"/>
        <source>  基本功能</source>
        <translation>  What Zorvel can do</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>智能控制：</source>
        <translation>Smart control:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>1、控制类：WORD EXCEL 计算器 百度 QQ ...</source>
        <translation>1. Open: Word, Excel, Calculator, Baidu, QQ ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>2、看视频：看《欢乐颂》 在优酷上看《人民的名义》 ...</source>
        <translation>2. Videos: watch Ode to Joy, watch In the Name of the People on Youku ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>3、买商品：买遥控器 在淘宝上买衣服 ...</source>
        <translation>3. Shopping: buy a remote control, buy clothes on Taobao ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>4、听音乐：我想听周杰伦的歌 听《青花瓷》 ...</source>
        <translation>4. Music: play songs by Jay Chou, play Blue and White Porcelain ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>5、更多说法：在百度上搜索魔力鸟 帮我把苹果翻译成英文 ...</source>
        <translation>5. And more: search Baidu for Magic Bird, translate &quot;apple&quot; into English ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>打字功能：</source>
        <translation>Typing:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>通过语音实现文字的输入</source>
        <translation>Type text by speaking</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>翻译功能：</source>
        <translation>Translation:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>支持中英互译，中文译成其他20多种语言</source>
        <translation>Chinese ⇄ English, and Chinese into over 20 other languages</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>上一步</source>
        <translation>Back</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>记住啦</source>
        <translation>Got it</translation>
    </message>
</context>
<context>
    <name>FirstRunSteps</name>
    <message>
        <location filename="../../ui/FirstRunSteps.ui" line="+30"/>
        <source>Zorvel操作说明</source>
        <translation>How to use Zorvel</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>操作步骤：</source>
        <translation>Three steps:</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>语音键</source>
        <translation>Voice key</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第一步：</source>
        <translation>Step 1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>按</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>住语音键</source>
        <translation>Hold the voice key</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第二步：</source>
        <translation>Step 2</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>说</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>口令</source>
        <translation>Say your command</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第三步：</source>
        <translation>Step 3</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>松</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>开按钮（完成操作）</source>
        <translation>Let go, and it is done</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>按住语音键说话，说完松开，Zorvel就会替你完成。</source>
        <translation>Hold the voice key while you speak and let go when you finish: Zorvel does the rest.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>我学会啦</source>
        <translation>Got it</translation>
    </message>
</context>
<context>
    <name>FloatingModeBar</name>
    <message>
        <location filename="../../ui/FloatingModeBar.ui" line="+29"/>
        <source>打字</source>
        <translation>Type</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>智能</source>
        <translation>Smart</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>翻译</source>
        <translation>Translate</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>三</source>
        <translation>≡</translation>
    </message>
    <message>
        <location filename="../../ui/FloatingModeBar.cpp" line="+12"/>
        <source>你已选择 打字模式</source>
        <translation>Typing mode chosen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已选择 智能模式</source>
        <translation>Smart mode chosen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已选择 翻译模式</source>
        <translation>Translation mode chosen</translation>
    </message>
</context>
<context>
    <name>HelpDialog</name>
    <message>
        <location filename="../../ui/HelpDialog.ui" line="+29"/>
        <source>操作说明</source>
        <translation>Basics</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+279"/>
        <source>安装步骤</source>
        <translation>Setup</translation>
    </message>
    <message>
        <location line="-266"/>
        <source>详细说明</source>
        <translation>Details</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+448"/>
        <source>常见问题</source>
        <translation>FAQ</translation>
    </message>
    <message>
        <location line="-435"/>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>语音键</source>
        <translation>Voice key</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第一步：</source>
        <translation>Step 1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>按</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>住语音键</source>
        <translation>Hold the voice key</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第二步：</source>
        <translation>Step 2</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>说</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>口令</source>
        <translation>Say your command</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>第三步：</source>
        <translation>Step 3</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>松</source>
        <translation>→</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>开按钮（完成操作）</source>
        <translation>Let go, and it is done</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>按住语音键说话时，屏幕上会出现录音提示（可在“软件设置”中勾选“关闭提示”）。松开后，Zorvel按当前的工作模式处理你说的话：打字模式输入文字，智能模式执行口令，翻译模式输入译文。按键不到0.2秒的录音不会被处理。</source>
        <translation>While you hold the voice key and speak, a recording notice appears on the screen (tick &quot;Turn off notices&quot; in Settings to hide it). When you let go, Zorvel handles what you said in the current working mode: typing mode types the text, smart mode carries out the command, translation mode types the translation. A press shorter than 0.2 seconds is ignored.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>一、硬件安装
1. 将Zorvel智能语音鼠标的USB接头插入电脑的USB接口。台式电脑请尽量使用机箱背面的USB接口，供电和录音更稳定。
2. 第一次连接时，电脑需要一些时间来识别鼠标和鼠标上的声卡，请等驱动安装完成后再使用语音键。鼠标连接好以后，托盘里的Zorvel图标由灰色变为彩色。

二、软件安装
1. 下载最新版本的Zorvel软件。
2. 在Windows上请右键单击安装程序，选择“以管理员身份运行”，按提示完成安装。
3. 安装完成后，右键单击托盘图标，打开“软件设置”，勾选“设置开机自启动”。这样每次开机后Zorvel会自动运行，插上鼠标就能直接使用语音键。</source>
        <translation>1. Hardware
1. Plug the Zorvel voice mouse into a USB port of your computer. On a desktop computer, use a port at the back of the case if you can: power and recording are steadier there.
2. The first time, the computer needs a while to recognise the mouse and its sound card. Wait until the drivers are installed before you use the voice key. Once the mouse is connected, the Zorvel icon in the tray turns from grey to colour.

2. Software
1. Download the latest version of Zorvel.
2. On Windows, right-click the installer, choose &quot;Run as administrator&quot; and follow the steps.
3. When it is installed, right-click the tray icon, open &quot;Settings&quot; and tick &quot;Start at login&quot;. Zorvel then starts with your computer, and the voice key works as soon as the mouse is plugged in.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>1、常用场景类的控制</source>
        <translation>1. Everyday commands</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>在智能模式下，按住语音键说出下面这样的口令，松开后Zorvel会替你完成操作。

1.1桌面应用类
说出软件、文件或文件夹的名称，即可打开电脑上已安装的软件或自定义的文件、文件夹。例如：“QQ”、“WORD”、“计算器”。

1.2网页搜索类
例如：“百度”、“百度新闻”、“在百度上搜十万个为什么”、“在百度上搜索魔力鸟”。没有对应口令的话会直接在网上搜索。

1.3视频点播类
例如：“看《欢乐颂》”、“在优酷上看《美人鱼》”。

1.4音乐类
例如：“我想听周杰伦的歌”、“听《青花瓷》”。

1.5日常生活查询
例如：“北京的空气质量”、“今天下雨吗”、“帮我找一下附近的酒店”、“帮我找一下合肥市的餐馆”。</source>
        <translation>In smart mode, hold the voice key, say a command like the ones below and let go: Zorvel does it for you.

1.1 Programs
Say the name of a program, file or folder to open an installed program or one of your own files or folders, for example &quot;QQ&quot;, &quot;Word&quot;, &quot;Calculator&quot;.

1.2 Web searches
For example &quot;Baidu&quot;, &quot;Baidu News&quot;, &quot;search Baidu for One Hundred Thousand Whys&quot;, &quot;search Baidu for Magic Bird&quot;. Anything that is not a command is searched for on the web.

1.3 Videos
For example &quot;watch Ode to Joy&quot;, &quot;watch The Mermaid on Youku&quot;.

1.4 Music
For example &quot;play songs by Jay Chou&quot;, &quot;play Blue and White Porcelain&quot;.

1.5 Daily life
For example &quot;air quality in Beijing&quot;, &quot;will it rain today&quot;, &quot;find hotels nearby&quot;, &quot;find restaurants in Hefei&quot;.</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>1.6翻译
在翻译模式下，说出的中文、英文或粤语会在线翻译成“软件设置”中选定的目标语言，并输入到光标所在的位置。在智能模式下也可以直接说“帮我把苹果翻译成英文”或““中国”用英语怎么说”。

2、文字输入
切换到打字模式，先用鼠标点击要输入文字的位置，再按住语音键说话，松开后文字就会输入到光标处。大多数输入框都可以使用，文字总是输入到当前有键盘焦点的窗口。使用云端语音服务识别或翻译时，请保持网络连接。

3、用户自定义功能
右键单击托盘图标，选择“个人中心”→“自定义功能”，可以把常用的网址、文件和文件夹设为自己的口令词，保存后说出口令词即可打开。</source>
        <translation>1.6 Translation
In translation mode, what you say in Mandarin, English or Cantonese is translated online into the target language chosen in Settings and typed at the cursor. In smart mode you can also say &quot;translate apple into English&quot; or &quot;how do you say China in English&quot;.

2. Typing
Switch to typing mode, click where the text should go, then hold the voice key and speak; when you let go, the text is typed at the cursor. This works in most text boxes; the text always goes to the window that has the keyboard focus. Recognition and translation by online services need a network connection.

3. Custom commands
Right-click the tray icon and choose &quot;My account&quot; → &quot;Custom commands&quot; to make your own command words for web addresses, files and folders you use often. Once saved, say the word to open them.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>1. 鼠标的声卡无法连接怎么办？
答：请把鼠标换到另一个USB接口，等电脑自动装好驱动后再试。托盘图标变为彩色表示鼠标已经连接好。

2. 怎样设置自定义口令？
答：右键单击托盘图标，选择“个人中心”→“自定义功能”，添加网址、文件或文件夹的口令词并保存。

3. 语音转写没有反应怎么办？
答：请检查网络连接是否正常，并确认光标停在要输入文字的位置。

如有其他问题，请联系Pelmora。
产品网页和客服电话请见Pelmora官方网站及产品包装。</source>
        <translation>1. The mouse&apos;s sound card does not connect. What can I do?
Plug the mouse into another USB port and try again once the computer has installed the drivers. A coloured tray icon means the mouse is connected.

2. How do I make my own commands?
Right-click the tray icon, choose &quot;My account&quot; → &quot;Custom commands&quot;, add command words for web addresses, files or folders and save them.

3. Nothing happens when I dictate. What is wrong?
Check that the network connection works and that the cursor is where the text should go.

For anything else, please contact Pelmora.
The product web page and the support phone number are on the Pelmora website and on the product box.</translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <location filename="../../ui/LoginDialog.ui" line="+29"/>
        <source>   用户登录</source>
        <translation>   Sign in</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>密&#x3000;码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>登录</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>注册</source>
        <translation>Register</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../ui/MainWindow.cpp" line="+78"/>
        <source>主程序启动</source>
        <translation>Zorvel started</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zorvel鼠标——语音技术由云端语音服务提供</source>
        <translation>Zorvel mouse — speech technology by cloud speech services</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Zorvel鼠标已连接</source>
        <translation>Zorvel mouse connected</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>鼠标或声卡驱动异常</source>
        <translation>Mouse or sound card driver problem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未登录</source>
        <translation>Not signed in</translation>
    </message>
</context>
<context>
    <name>MouseConnectionMonitor</name>
    <message>
        <location filename="../../services/MouseConnectionMonitor.cpp" line="+57"/>
        <source>已检测到Zorvel鼠标</source>
        <translation>Zorvel mouse detected</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>鼠标未连接</source>
        <translation>Mouse not connected</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>声卡异常</source>
        <translation>Sound card problem</translation>
    </message>
</context>
<context>
    <name>QuickGuidePanel</name>
    <message>
        <location filename="../../ui/QuickGuidePanel.ui" line="+42"/>
        <source>  智能控制</source>
        <translation>  Smart control</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>计算器</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>百度</source>
        <translation>Baidu</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>百度新闻</source>
        <translation>Baidu News</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>买足球</source>
        <translation>Buy a ball</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>吃自助餐</source>
        <translation>Eat at a buffet</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>在天猫上买衣服</source>
        <translation>Buy clothes on Tmall</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>在百度上搜索姚明</source>
        <translation>Search Baidu for Yao Ming</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>看《欢乐颂》</source>
        <translation>Watch Ode to Joy</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>在优酷上看《美人鱼》</source>
        <translation>The Mermaid on Youku</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>查看更多......</source>
        <translation>More examples...</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>  打字功能</source>
        <translation>  Typing</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>通过语音实现文字的输入</source>
        <translation>Type text by speaking</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>  翻译功能</source>
        <translation>  Translation</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+54"/>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>其他语言</source>
        <translation>Others</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>帮我找一下合肥市的餐馆</source>
        <translation>Restaurants in Hefei</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>北京的空气质量</source>
        <translation>Air quality in Beijing</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>我想坐动车去北京</source>
        <translation>Fast train to Beijing</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>帮我找一下附近的酒店</source>
        <translation>Hotels nearby</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>我想听周杰伦的歌</source>
        <translation>Songs by Jay Chou</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>新能源汽车的股票</source>
        <translation>Electric car stocks</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>“中国”用英语怎么说</source>
        <translation>&quot;China&quot; in English</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>在百度上搜十万个为什么</source>
        <translation>Baidu: 100,000 Whys</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>今天下雨吗</source>
        <translation>Will it rain today</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>帮我找一下去南京的路线</source>
        <translation>Route to Nanjing</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>返回上一页</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>ResultDispatcher</name>
    <message>
        <location filename="../../result/ResultDispatcher.cpp" line="+32"/>
        <source>你已切换到打字模式！</source>
        <translation>Now in typing mode!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已切换到智能模式！</source>
        <translation>Now in smart mode!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已切换到翻译模式！</source>
        <translation>Now in translation mode!</translation>
    </message>
    <message>
        <location line="+74"/>
        <location line="+16"/>
        <source>请你说大点声！</source>
        <translation>Please speak louder!</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>请重试！！！</source>
        <translation>Please try again!</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>离线识别只支持英语：请切换到英语，或在 services.ini 中配置语音服务器</source>
        <translation>Offline engine: English only</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>语音服务暂时不可用</source>
        <translation>Speech service is down</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>打字模式：</source>
        <translation>Typing: </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>智能模式：</source>
        <translation>Smart: </translation>
    </message>
    <message>
        <location line="+50"/>
        <source>翻译模式：</source>
        <translation>Translation: </translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <location filename="../../ui/SettingsDialog.ui" line="+31"/>
        <source>  软件设置</source>
        <translation>  Settings</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>工作模式：</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>打字模式</source>
        <translation>Typing</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>打字语言选择：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+69"/>
        <location line="+69"/>
        <source>中文(普通话)</source>
        <translation>Mandarin</translation>
    </message>
    <message>
        <location line="-133"/>
        <location line="+69"/>
        <location line="+69"/>
        <location line="+48"/>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="-181"/>
        <location line="+69"/>
        <location line="+69"/>
        <location line="+48"/>
        <source>粤语</source>
        <translation>Cantonese</translation>
    </message>
    <message>
        <location line="-181"/>
        <location line="+69"/>
        <source>四川话</source>
        <translation>Sichuanese</translation>
    </message>
    <message>
        <location line="-64"/>
        <location line="+69"/>
        <source>河南话</source>
        <translation>Henanese</translation>
    </message>
    <message>
        <location line="-55"/>
        <source>智能模式</source>
        <translation>Smart</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>智能语言选择：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>翻译模式</source>
        <translation>Translation</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>翻译语言选择：</source>
        <translation>Languages:</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>文言文</source>
        <translation>Classical Chinese</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>日语</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>法语</source>
        <translation>French</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>西班牙语</source>
        <translation>Spanish</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>俄语</source>
        <translation>Russian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>葡萄牙语</source>
        <translation>Portuguese</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>德语</source>
        <translation>German</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>意大利语</source>
        <translation>Italian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>希腊语</source>
        <translation>Greek</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>荷兰语</source>
        <translation>Dutch</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>波兰语</source>
        <translation>Polish</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保加利亚语</source>
        <translation>Bulgarian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>爱沙尼亚语</source>
        <translation>Estonian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>丹麦语</source>
        <translation>Danish</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>芬兰语</source>
        <translation>Finnish</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>捷克语</source>
        <translation>Czech</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>罗马尼亚语</source>
        <translation>Romanian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>斯洛文尼亚语</source>
        <translation>Slovenian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>瑞典语</source>
        <translation>Swedish</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>匈牙利语</source>
        <translation>Hungarian</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>中文（繁体）</source>
        <translation>Traditional Chinese</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>越南语</source>
        <translation>Vietnamese</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>软件更新：</source>
        <translation>Updates:</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>有更新时自动为我更新</source>
        <translation>Install updates automatically</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>有更新时不安装，但提醒我（推荐）</source>
        <translation>Tell me about updates, don&apos;t install them (recommended)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>不自动更新</source>
        <translation>Never check for updates</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>其他设置：</source>
        <translation>Other:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>设置开机自启动</source>
        <translation>Start Zorvel when I log in</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>关闭提示</source>
        <translation>Turn off notices</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>去除标点</source>
        <translation>Remove punctuation</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>侧键无法使用：没有读取鼠标输入设备的权限。请把用户加入 input 组后重新登录，或用桌面快捷键运行 zorvel --take toggle。</source>
        <translation>The side key cannot work: no permission to read the mouse&apos;s input devices. Add your user to the input group and log in again, or bind zorvel --take toggle to a desktop shortcut.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>语音识别：</source>
        <translation>Speech:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>内置离线引擎（英语）</source>
        <translation>Offline engine (English)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>语音识别服务器</source>
        <translation>Speech server</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>服务器地址：</source>
        <translation>Address:</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>http://</source>
        <translation>http://</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>密钥：</source>
        <translation>Key:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>模型：</source>
        <translation>Model</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>测试连接</source>
        <translation>Test server</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>界面语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>跟随系统</source>
        <translation>System default</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../../ui/SettingsDialog.cpp" line="+156"/>
        <source>已保存，下一次说话起生效。</source>
        <translation>Saved; used from your next recording.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>services.ini 无法写入（%1），设置只在本次运行中有效。</source>
        <translation>services.ini cannot be written (%1); the settings hold until Zorvel quits.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未填写服务器地址，仍使用内置离线引擎。</source>
        <translation> No server address given, so the built-in offline engine stays in use.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>正在测试连接 %1 …</source>
        <translation>Testing the connection to %1 …</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>内置离线引擎只能识别英语。要识别此语言，请在 软件设置 → 语音识别 中选择“语音识别服务器”，填写服务器地址。</source>
        <translation>The built-in offline engine recognises English only. For this language, choose &quot;Speech server&quot; under Settings → Speech and enter the server address.</translation>
    </message>
</context>
<context>
    <name>SideKeyMonitor</name>
    <message>
        <location filename="../../voice/SideKeyMonitor.cpp" line="+42"/>
        <source>中</source>
        <translation>ZH</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>英</source>
        <translation>EN</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>粤</source>
        <translation>YUE</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>川</source>
        <translation>SC</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>豫</source>
        <translation>HN</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>请说口令！</source>
        <translation>Say a command!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>请稍等片刻！</source>
        <translation>Hold the key longer!</translation>
    </message>
</context>
<context>
    <name>SpeechConnectionTest</name>
    <message>
        <location filename="../../voice/speech/SpeechConnectionTest.cpp" line="+15"/>
        <source>一秒静音</source>
        <translation>One second of silence</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最近一次录音</source>
        <translation>Latest recording</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已应答，用时 %1 毫秒：%2</source>
        <translation>answered in %1 ms: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（无文字）</source>
        <translation>(no text)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>“%1”</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>服务器地址无效：请填写以 http:// 或 https:// 开头的地址</source>
        <translation>invalid server address: enter one starting with http:// or https://</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法连接服务器（%1）</source>
        <translation>cannot reach the server (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>服务器返回 HTTP %1%2</source>
        <translation>the server answered HTTP %1%2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>，密钥被拒绝</source>
        <translation>, key refused</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 毫秒内没有应答</source>
        <translation>no answer within %1 ms</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>应答无法识别（不是带 text 的 JSON）</source>
        <translation>unreadable answer (not JSON with a text field)</translation>
    </message>
</context>
<context>
    <name>StartRequestHandler</name>
    <message>
        <location filename="../../app/StartRequestHandler.cpp" line="+10"/>
        <source>你已选择 打字模式</source>
        <translation>Typing mode chosen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已选择 智能模式</source>
        <translation>Smart mode chosen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已选择 翻译模式</source>
        <translation>Translation mode chosen</translation>
    </message>
</context>
<context>
    <name>SystemTray</name>
    <message>
        <location filename="../../ui/SystemTray.cpp" line="+17"/>
        <source>中文(普通话)</source>
        <translation>Mandarin</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>粤语</source>
        <translation>Cantonese</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>四川话</source>
        <translation>Sichuanese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>河南话</source>
        <translation>Henanese</translation>
    </message>
    <message>
        <location line="+112"/>
        <source>打开主窗口</source>
        <translation>Open main window</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>关于Zorvel</source>
        <translation>About Zorvel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>软件更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>意见反馈</source>
        <translation>Send feedback</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>购买产品</source>
        <translation>Buy Zorvel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>软件设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>个人中心</source>
        <translation>My account</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>自定义功能</source>
        <translation>Custom commands</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>用户登录</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>语言设置</source>
        <translation>Speech language</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>你选择：%1</source>
        <translation>You chose: %1</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>语音识别服务器</source>
        <translation>Speech server</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>内置离线引擎（英语）</source>
        <translation>Offline engine (English)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>正在加载</source>
        <translation>loading</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>就绪</source>
        <translation>ready</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>服务器无法连接，自 %1 起</source>
        <translation>server unreachable since %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法使用，自 %1 起</source>
        <translation>not working since %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Zorvel
%1：%2</source>
        <translation>Zorvel
%1: %2</translation>
    </message>
</context>
<context>
    <name>TranslationService</name>
    <message>
        <location filename="../../result/TranslationService.cpp" line="+17"/>
        <location line="+6"/>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <location line="-5"/>
        <location line="+6"/>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="-5"/>
        <location line="+6"/>
        <source>粤语</source>
        <translation>Cantonese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文言文</source>
        <translation>Classical Chinese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>日语</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>法语</source>
        <translation>French</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>西班牙语</source>
        <translation>Spanish</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>俄语</source>
        <translation>Russian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>葡萄牙语</source>
        <translation>Portuguese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>德语</source>
        <translation>German</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>意大利语</source>
        <translation>Italian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>希腊语</source>
        <translation>Greek</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>荷兰语</source>
        <translation>Dutch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波兰语</source>
        <translation>Polish</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保加利亚语</source>
        <translation>Bulgarian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>爱沙尼亚语</source>
        <translation>Estonian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>丹麦语</source>
        <translation>Danish</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>芬兰语</source>
        <translation>Finnish</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>捷克语</source>
        <translation>Czech</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>罗马尼亚语</source>
        <translation>Romanian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>斯洛文尼亚语</source>
        <translation>Slovenian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>瑞典语</source>
        <translation>Swedish</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>匈牙利语</source>
        <translation>Hungarian</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中文（繁体）</source>
        <translation>Traditional Chinese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>越南语</source>
        <translation>Vietnamese</translation>
    </message>
</context>
<context>
    <name>UpdateAtStartDialog</name>
    <message>
        <location filename="../../services/UpdateAtStartDialog.ui" line="+16"/>
        <source>  自动更新</source>
        <translation>  Update available</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zorvel软件更新啦！为了你更好地体验，请</source>
        <translation>A new version of Zorvel is out! For the best</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>前往官网下载更新吧！！！</source>
        <translation>experience, get it from our website.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>以后再说</source>
        <translation>Later</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>立马更新</source>
        <translation>Update now</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <location filename="../../services/UpdateCheck.cpp" line="+136"/>
        <source>已是最新版本</source>
        <translation>Zorvel is up to date</translation>
    </message>
</context>
<context>
    <name>UpdateReminder</name>
    <message>
        <location filename="../../services/UpdateReminder.ui" line="+16"/>
        <location filename="../../services/UpdateReminder.cpp" line="+20"/>
        <source>  提醒更新</source>
        <translation>  Update reminder</translation>
    </message>
    <message>
        <location line="+5"/>
        <location filename="../../services/UpdateReminder.cpp" line="+1"/>
        <source>Zorvel提醒你，软件更新啦！为了你更好</source>
        <translation>A new version of Zorvel is out! For the best</translation>
    </message>
    <message>
        <location line="+5"/>
        <location filename="../../services/UpdateReminder.cpp" line="+1"/>
        <source>的体验，请前往官网下载更新吧！！！</source>
        <translation>experience, get it from our website.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../services/UpdateReminder.cpp" line="+2"/>
        <source>  不更新</source>
        <translation>  Updates off</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>你已选择从不更新软件设置，为了你能</source>
        <translation>You chose never to check for updates. For the</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>更好体验，建议定时更新软件！！！</source>
        <translation>best experience, please update now and then.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="+159"/>
        <source>请按语音键说话</source>
        <translation>Hold the voice key to talk</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>远程输入未获允许，文字无法输入！</source>
        <translation>Remote input was not allowed, the text cannot be typed!</translation>
    </message>
</context>
</TS>
