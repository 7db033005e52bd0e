-- Demo data for the local community database (UTF-8 file). Loaded once into an empty database;
-- {{SITE_ID}} is the statistics site identifier of the build.

INSERT INTO `Quenbo盒子设置` (`语句`, `公告`, `更新内容`, `下载地址`, `版本`) VALUES
('0',
 '欢迎来到Quenbo资源社区！分享优质资源可赚取Quenbo币，打开他人分享的资源需要1个Quenbo币。新会员注册即送2个Quenbo币，请勿上传违规内容，祝大家使用愉快！',
 'Quenbo资源社区 1.7 更新内容：\r\n1. 新增“活动线报”分类，福利信息一手掌握\r\n2. 资源列表加载速度大幅提升\r\n3. 个人中心显示最新回执消息\r\n4. 修复转账后余额显示不刷新的问题',
 'http://127.0.0.1:8765/download/Quenbo资源社区1.7.exe',
 '1.7');

-- Members: the official account, some regulars, a demo account and a banned one.
INSERT INTO `Quenbo登录验证` (`账号`, `密码`, `Quenbo币`, `投稿量`, `帐号状态`, `回执消息`, `正在审核的资源`) VALUES
('quenbo',   'quenbo2024', '9999', '28', '正常', '官方账号，资源均可免费打开', '0'),
('xiaoyu',   'xiaoyu123',  '36',   '9',  '正常', '您刚刚打开了： quenbo 上传的资源已从账户扣除1个Quenbo币', '0'),
('linmo',    'linmo888',   '14',   '6',  '正常', '用户：xiaoyu向您汇款5Quenbo币', '0'),
('阿杰',     'ajie2024',   '7',    '4',  '正常', '你有一条投稿正在审核中，请耐心等待！', '1'),
('demo',     'demo123',    '10',   '0',  '正常', '欢迎加入Quenbo资源社区', '0'),
('spammer',  'spam666',    '0',    '0',  '封禁', '账号因违规已被封禁', '0');

INSERT INTO `审核回执` (`ID`, `回执消息`) VALUES
('xiaoyu', '快去分享资源赚Quenbo币下载资源吧！'),
('linmo',  '快去分享资源赚Quenbo币下载资源吧！'),
('阿杰',   '快去分享资源赚Quenbo币下载资源吧！'),
('demo',   '快去分享资源赚Quenbo币下载资源吧！');

INSERT INTO `投稿审核` (`ID`, `标题`, `说明`, `地址`, `审核状态`, `分类`) VALUES
('阿杰', 'Rust 程序设计语言 中文版', '官方教程的社区中文翻译，边学边练。', 'https://kaisery.github.io/trpl-zh-cn/', '审核中', '精品资源');

INSERT INTO `精品资源` (`ID`, `标题`, `更新时间`, `说明`, `地址`) VALUES
('quenbo', 'CS50 哈佛计算机科学导论 中英字幕全集', '2024-09-18 20:15:00', '哈佛大学公开课，从 C 语言讲到 Python、SQL 与网页开发，每周配有习题。', 'https://cs50.harvard.edu/x/'),
('quenbo', 'MIT 6.824 分布式系统课程 讲义与实验', '2024-09-12 21:40:00', 'Raft、MapReduce、分片 KV 存储，课程实验用 Go 完成，难度较高但收获很大。', 'https://pdos.csail.mit.edu/6.824/'),
('xiaoyu', '思源黑体 开源中文字体全家桶', '2024-09-05 09:30:00', '七种字重，覆盖简繁日韩，可免费商用，设计排版必备。', 'https://github.com/adobe-fonts/source-han-sans'),
('linmo', 'Blender 3D 建模零基础入门', '2024-08-28 19:05:00', '开源免费的三维创作软件，官网提供入门教程与示例文件。', 'https://www.blender.org/support/tutorials/'),
('quenbo', 'LibreOffice 办公套件 中文离线安装包', '2024-08-20 14:22:00', '兼容 Word、Excel、PPT 格式的免费办公软件，无广告。', 'https://zh-cn.libreoffice.org/download/libreoffice/'),
('阿杰', 'Godot 游戏引擎 中文文档', '2024-08-11 22:48:00', '轻量开源的 2D/3D 游戏引擎，GDScript 上手很快。', 'https://docs.godotengine.org/zh-cn/4.x/'),
('xiaoyu', 'Pro Git 中文版 电子书', '2024-07-30 08:55:00', 'Git 官方推荐的权威教程，免费在线阅读，可下载 PDF 与 EPUB。', 'https://git-scm.com/book/zh/v2'),
('quenbo', '现代 JavaScript 教程 全套', '2024-07-21 16:10:00', '从基础语法到浏览器原理，示例丰富，章节后附练习题。', 'https://zh.javascript.info/'),
('linmo', 'Inkscape 矢量绘图软件 中文版', '2024-07-09 11:37:00', '开源矢量图形编辑器，做图标、海报、插画都很合适。', 'https://inkscape.org/zh-hans/'),
('quenbo', '计算机网络：自顶向下方法 配套资源', '2024-06-26 13:18:00', '课件、Wireshark 实验与习题解答，适合自学网络原理。', 'https://gaia.cs.umass.edu/kurose_ross/'),
('阿杰', 'OpenStreetMap 离线地图数据下载指南', '2024-06-14 10:02:00', '按省份下载地图数据，可导入导航软件离线使用。', 'https://download.geofabrik.de/asia/china.html'),
('xiaoyu', 'Krita 数字绘画软件 入门教程', '2024-06-01 18:44:00', '免费的专业绘画软件，笔刷丰富，适合板绘新手。', 'https://docs.krita.org/zh_CN/');

INSERT INTO `编程源码` (`ID`, `标题`, `更新时间`, `说明`, `地址`) VALUES
('quenbo', 'Redis 源码 带中文注释阅读版', '2024-09-20 22:30:00', '逐行中文注释，适合学习事件循环、数据结构与持久化实现。', 'https://github.com/huangz1990/redis-3.0-annotated'),
('xiaoyu', 'Qt 串口调试助手 完整源码', '2024-09-16 15:12:00', '支持十六进制收发、定时发送与日志保存，C++ 与 Qt 编写。', 'https://github.com/qt/qtserialport'),
('linmo', 'Python 爬虫入门实战 30 例', '2024-09-09 20:48:00', 'requests 与 BeautifulSoup 示例合集，每例附详细说明。', 'https://github.com/psf/requests'),
('quenbo', 'SQLite 数据库引擎 源码合集', '2024-09-02 09:05:00', '单文件即可编译的嵌入式数据库，代码质量极高。', 'https://www.sqlite.org/download.html'),
('阿杰', 'Lua 5.4 解释器源码', '2024-08-25 23:16:00', '两万行左右的精致 C 代码，学习虚拟机与垃圾回收的好材料。', 'https://www.lua.org/download.html'),
('xiaoyu', 'Vue 3 后台管理系统模板', '2024-08-17 13:40:00', 'Vue 3、Vite 与 Element Plus，权限路由与表格组件开箱即用。', 'https://github.com/vbenjs/vue-vben-admin'),
('quenbo', 'kilo 千行 C 语言文本编辑器 源码', '2024-08-08 17:25:00', '不到一千行实现带语法高亮与搜索的终端编辑器，适合初学者精读。', 'https://github.com/antirez/kilo'),
('linmo', 'Go 语言 Web 框架 Gin 示例集', '2024-07-27 10:58:00', '路由、中间件、参数校验与 JSON 返回的完整示例。', 'https://github.com/gin-gonic/examples'),
('阿杰', 'Android 记账本 App 源码', '2024-07-15 19:33:00', 'Kotlin 编写，本地数据库存储，支持图表统计。', 'https://github.com/android/architecture-samples'),
('quenbo', 'Linux 内核 0.11 源码 注释版', '2024-07-03 21:07:00', '经典的早期内核，配合注释学习进程调度与内存管理。', 'https://www.kernel.org/'),
('xiaoyu', 'Spring Boot 在线商城 前后端源码', '2024-06-22 14:50:00', '商品、购物车、订单与支付流程齐全，附数据库脚本。', 'https://github.com/macrozheng/mall'),
('linmo', 'Dear ImGui 即时模式界面库 源码', '2024-06-10 08:21:00', '自绘按钮、窗口与图表控件，游戏与工具开发常用，附大量示例。', 'https://github.com/ocornut/imgui'),
('quenbo', 'Flask 博客系统 完整教程源码', '2024-05-29 16:36:00', '用户登录、文章发布、评论与分页，一步步搭建个人博客。', 'https://github.com/miguelgrinberg/microblog');

INSERT INTO `软件辅助` (`ID`, `标题`, `更新时间`, `说明`, `地址`) VALUES
('quenbo', '7-Zip 压缩软件 最新版', '2024-09-19 12:00:00', '免费开源，压缩率高，支持 7z、zip、rar 等几十种格式。', 'https://www.7-zip.org/'),
('xiaoyu', 'Everything 文件秒搜工具', '2024-09-14 09:45:00', '输入文件名即刻出结果，体积小巧，装机必备。', 'https://www.voidtools.com/zh-cn/'),
('linmo', 'VLC 万能视频播放器', '2024-09-07 20:20:00', '几乎能播放所有格式的音视频，无广告、无插件。', 'https://www.videolan.org/vlc/'),
('quenbo', 'Notepad++ 代码编辑器', '2024-08-30 18:32:00', '轻量快速的文本编辑器，支持语法高亮与插件。', 'https://notepad-plus-plus.org/downloads/'),
('阿杰', 'OBS Studio 录屏直播软件', '2024-08-22 21:14:00', '开源免费的录屏与直播工具，支持多场景切换。', 'https://obsproject.com/'),
('xiaoyu', 'KeePassXC 密码管理器', '2024-08-13 07:58:00', '本地加密保存所有密码，跨平台，完全离线。', 'https://keepassxc.org/download/'),
('quenbo', 'ShareX 截图录屏神器', '2024-08-04 15:27:00', '截图、标注、录制 GIF 与上传一条龙。', 'https://getsharex.com/'),
('linmo', 'Audacity 音频剪辑软件', '2024-07-24 11:11:00', '录音、降噪、剪辑与格式转换，播客作者常用。', 'https://www.audacityteam.org/download/'),
('阿杰', 'HandBrake 视频格式转换器', '2024-07-12 22:05:00', '把视频转成手机、平板适用的格式，支持批量处理。', 'https://handbrake.fr/'),
('quenbo', 'Git for Windows 安装包', '2024-06-29 09:39:00', '包含 Git Bash 与图形界面，程序员必备。', 'https://gitforwindows.org/'),
('xiaoyu', 'GIMP 图像处理软件', '2024-06-17 17:48:00', '免费的位图编辑软件，修图、抠图、调色样样都行。', 'https://www.gimp.org/downloads/'),
('linmo', 'Rufus U 盘启动盘制作工具', '2024-06-05 13:03:00', '几秒钟做好系统安装 U 盘，单文件免安装。', 'https://rufus.ie/zh/');

INSERT INTO `活动线报` (`ID`, `标题`, `更新时间`, `说明`, `地址`) VALUES
('quenbo', 'GitHub 学生开发者礼包 免费领取', '2024-09-21 10:30:00', '在校学生认证后可免费使用 Copilot、域名与云服务额度。', 'https://education.github.com/pack'),
('xiaoyu', 'JetBrains 全家桶 开源项目免费授权', '2024-09-15 16:45:00', '维护开源项目即可申请 IDE 全家桶一年免费许可。', 'https://www.jetbrains.com/community/opensource/'),
('quenbo', 'Epic 游戏商城 每周限时免费游戏', '2024-09-10 23:00:00', '每周四更新，领取后永久保存在游戏库中。', 'https://store.epicgames.com/zh-CN/free-games'),
('linmo', 'Steam 秋季特卖 活动时间汇总', '2024-09-03 12:18:00', '大量独立游戏史低折扣，附愿望单好价推荐。', 'https://store.steampowered.com/'),
('阿杰', '阿里云 高校学生 云服务器免费试用', '2024-08-27 09:12:00', '学生认证后可领取云服务器试用，适合搭建个人项目。', 'https://developer.aliyun.com/plan/student'),
('quenbo', 'Google Summer of Code 开源实习报名', '2024-08-19 20:27:00', '为开源组织贡献代码并获得奖金，每年春季开放申请。', 'https://summerofcode.withgoogle.com/'),
('xiaoyu', 'Hacktoberfest 十月开源贡献活动', '2024-08-09 14:06:00', '十月内提交有效 PR 即可参与，适合第一次参与开源。', 'https://hacktoberfest.com/'),
('linmo', 'Coursera 部分课程免费旁听', '2024-07-31 19:49:00', '选择旁听模式即可免费学习课程视频与资料。', 'https://www.coursera.org/'),
('quenbo', 'Microsoft Learn 免费认证挑战', '2024-07-18 08:34:00', '完成学习路径即可获得认证考试折扣券。', 'https://learn.microsoft.com/zh-cn/training/'),
('阿杰', 'Let''s Encrypt 免费 HTTPS 证书申请', '2024-07-06 15:52:00', '为个人网站免费签发证书，配合 certbot 自动续期。', 'https://letsencrypt.org/zh-cn/getting-started/'),
('xiaoyu', 'Cloudflare 免费套餐 网站加速', '2024-06-24 21:29:00', '免费 CDN、DNS 与防护，个人博客够用。', 'https://www.cloudflare.com/zh-cn/plans/free/'),
('quenbo', 'Kaggle 入门竞赛 泰坦尼克号生存预测', '2024-06-12 10:41:00', '机器学习新手第一站，附大量公开笔记可参考。', 'https://www.kaggle.com/competitions/titanic');

INSERT INTO `Tallyx账号数据` (`SID`, `PV`, `IP`) VALUES ('{{SITE_ID}}', '0', '');
INSERT INTO `统计状态` (`SID`, `状态`) VALUES ('{{SITE_ID}}', '正常');
