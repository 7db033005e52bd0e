-- The community database's tables, loaded into the current database (UTF-8 file; the tables
-- hold GBK text compared byte for byte). Safe to load again: nothing that exists is touched.

-- Members. ID always names the same member as 账号: two of the client's updates address a
-- member by ID, and nothing the client sends ever writes it.
CREATE TABLE IF NOT EXISTS `Quenbo登录验证` (
  `账号` VARCHAR(64) NOT NULL,
  `密码` VARCHAR(64) NOT NULL DEFAULT '',
  `Quenbo币` VARCHAR(20) NOT NULL DEFAULT '0',
  `投稿量` VARCHAR(20) NOT NULL DEFAULT '0',
  `帐号状态` VARCHAR(16) NOT NULL DEFAULT '正常',
  `回执消息` VARCHAR(500) NOT NULL DEFAULT '',
  `正在审核的资源` VARCHAR(8) NOT NULL DEFAULT '0',
  `ID` VARCHAR(64) NULL,
  PRIMARY KEY (`账号`),
  KEY `按ID` (`ID`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

CREATE TRIGGER IF NOT EXISTS `新会员的ID` BEFORE INSERT ON `Quenbo登录验证`
  FOR EACH ROW SET NEW.`ID` = IFNULL(NEW.`ID`, NEW.`账号`);

CREATE TABLE IF NOT EXISTS `审核回执` (
  `ID` VARCHAR(64) NOT NULL DEFAULT '',
  `回执消息` VARCHAR(500) NOT NULL DEFAULT '',
  `序号` INT UNSIGNED NOT NULL AUTO_INCREMENT,
  PRIMARY KEY (`序号`),
  KEY `按ID` (`ID`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

-- Submissions awaiting review; accepted ones are moved into a resource table by hand.
CREATE TABLE IF NOT EXISTS `投稿审核` (
  `ID` VARCHAR(64) NOT NULL DEFAULT '',
  `标题` VARCHAR(200) NOT NULL DEFAULT '',
  `说明` TEXT NULL,
  `地址` VARCHAR(1000) NOT NULL DEFAULT '',
  `审核状态` VARCHAR(16) NOT NULL DEFAULT '审核中',
  `分类` VARCHAR(16) NOT NULL DEFAULT '',
  `序号` INT UNSIGNED NOT NULL AUTO_INCREMENT,
  `提交时间` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (`序号`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

-- The four resource tables, listed newest first by 更新时间.
CREATE TABLE IF NOT EXISTS `精品资源` (
  `ID` VARCHAR(64) NOT NULL DEFAULT '',
  `标题` VARCHAR(200) NOT NULL DEFAULT '',
  `更新时间` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  `说明` TEXT NULL,
  `地址` VARCHAR(1000) NOT NULL DEFAULT '',
  `序号` INT UNSIGNED NOT NULL AUTO_INCREMENT,
  PRIMARY KEY (`序号`),
  KEY `按更新时间` (`更新时间`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;
CREATE TABLE IF NOT EXISTS `编程源码` LIKE `精品资源`;
CREATE TABLE IF NOT EXISTS `软件辅助` LIKE `精品资源`;
CREATE TABLE IF NOT EXISTS `活动线报` LIKE `精品资源`;

-- The client's settings: the row whose 语句 is '0'.
CREATE TABLE IF NOT EXISTS `Quenbo盒子设置` (
  `语句` VARCHAR(16) NOT NULL,
  `公告` TEXT NULL,
  `更新内容` TEXT NULL,
  `下载地址` VARCHAR(1000) NULL,
  `版本` VARCHAR(32) NULL,
  PRIMARY KEY (`语句`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

-- Visit statistics: page views and last address per site, counting state, address log.
CREATE TABLE IF NOT EXISTS `Tallyx账号数据` (
  `SID` VARCHAR(32) NOT NULL,
  `PV` VARCHAR(20) NOT NULL DEFAULT '0',
  `IP` VARCHAR(64) NOT NULL DEFAULT '',
  PRIMARY KEY (`SID`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

CREATE TABLE IF NOT EXISTS `统计状态` (
  `SID` VARCHAR(32) NOT NULL,
  `状态` VARCHAR(16) NOT NULL DEFAULT '正常',
  PRIMARY KEY (`SID`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;

CREATE TABLE IF NOT EXISTS `TallyxIP数据库` (
  `SID` VARCHAR(32) NOT NULL DEFAULT '',
  `IP` VARCHAR(64) NOT NULL DEFAULT '',
  `日期` VARCHAR(16) NOT NULL DEFAULT '',
  `序号` INT UNSIGNED NOT NULL AUTO_INCREMENT,
  `记录时间` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (`序号`)
) ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin;
