-- {{COUNT}} synthetic resources for benchmarks, added to {{TABLE}} with distinct update times.
INSERT INTO `{{TABLE}}` (`ID`, `标题`, `更新时间`, `说明`, `地址`)
SELECT CONCAT('member', seq MOD 50),
       CONCAT('示例资源 第', seq, '号 实用工具合集'),
       TIMESTAMP('2023-01-01 00:00:00') - INTERVAL seq MINUTE,
       CONCAT('第', seq, '号示例资源的说明：包含安装包、使用说明与常见问题解答。'),
       CONCAT('https://resources.example.com/item/', seq)
FROM seq_1_to_{{COUNT}};
