// Every text the user sees, every settings-file key and the fixed addresses, in one place.
// They are GBK byte strings (code page 936): Texts.cpp is UTF-8 source compiled with
// -fexec-charset=GBK, so nothing else in the program has to spell a GBK byte.
#pragma once

namespace vd::texts {

// Main window and its controls.
extern const char kWindowTitle[];      // "Vendrilov1.0"
extern const char kPeriodCaption[];    // "检测周期(单位/秒)", ASCII parentheses
extern const char kLengthCaption[];    // "倒计时（单位/秒）", full-width parentheses
extern const char kOkButton[];         // "确定"
extern const char kProbeGroup[];       // "检测接口"
extern const char kPingRadio[];        // "其它"
extern const char kWebRadio[];         // "百度"
extern const char kForceCheck[];       // "强制执行"
extern const char kStatusGroup[];      // "当前状态"

// Balloon tips.
extern const char kWebTip[];    // "百度接口比较占用网络(不推荐)"
extern const char kPingTip[];   // "其它接口占用网络比较少(推荐)"
extern const char kForceTip[];  // "断网后,是否强制执行关机!"

// Status label.
extern const char kStatusReady[];      // "准备检测"
extern const char kStatusNormal[];     // "网络正常"
extern const char kStatusAlarm[];      // "网络异常"
extern const char kCountdownPrefix[];  // "网络异常 > 倒计时：", full-width colon, no space after

// Tray icon and menu.
extern const char kTrayTip[];          // "Vendrilo"
extern const char kTrayMenu[];         // "托盘"
extern const char kMenuOpen[];         // "打开设置"
extern const char kMenuSeparator[];    // "-"
extern const char kMenuShop[];         // "定制软件"
extern const char kMenuBlog[];         // "官方博客"
extern const char kMenuExit[];         // "退出程序"
extern const char kShopUrl[];
extern const char kBlogUrl[];
extern const char kBrowserWindowTitle[];  // "Microsoft Internet Explorer"

// Settings file.
extern const char kSettingsFile[];  // "Config.ini"
extern const char kSection[];       // "Parameter"
extern const char kKeyPeriod[];     // "检测周期"
extern const char kKeyLength[];     // "倒计时"
extern const char kKeyForce[];      // "强制执行"
extern const char kKeyPing[];       // "新浪"
extern const char kKeyWeb[];        // "百度"
extern const char kTrue[];          // "True"
extern const char kFalse[];         // "False"
extern const char kDefaultPeriod[];  // "5"
extern const char kDefaultLength[];  // "60"

// The portal both probes look at.
extern const char kPortalHost[];  // "www.baidu.com"
extern const char kPortalUrl[];   // "http://www.baidu.com/"

}  // namespace vd::texts
