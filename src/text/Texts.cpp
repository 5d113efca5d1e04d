// UTF-8 source; the build compiles this file alone with -fexec-charset=GBK.
#include "text/Texts.h"

namespace vd::texts {

const char kWindowTitle[] = "Vendrilov1.0";
const char kPeriodCaption[] = "检测周期(单位/秒)";
const char kLengthCaption[] = "倒计时（单位/秒）";
const char kOkButton[] = "确定";
const char kProbeGroup[] = "检测接口";
const char kPingRadio[] = "其它";
const char kWebRadio[] = "百度";
const char kForceCheck[] = "强制执行";
const char kStatusGroup[] = "当前状态";

const char kWebTip[] = "百度接口比较占用网络(不推荐)";
const char kPingTip[] = "其它接口占用网络比较少(推荐)";
const char kForceTip[] = "断网后,是否强制执行关机!";

const char kStatusReady[] = "准备检测";
const char kStatusNormal[] = "网络正常";
const char kStatusAlarm[] = "网络异常";
const char kCountdownPrefix[] = "网络异常 > 倒计时：";

const char kTrayTip[] = "Vendrilo";
const char kTrayMenu[] = "托盘";
const char kMenuOpen[] = "打开设置";
const char kMenuSeparator[] = "-";
const char kMenuShop[] = "定制软件";
const char kMenuBlog[] = "官方博客";
const char kMenuExit[] = "退出程序";
const char kShopUrl[] = "http://shop.example.com/";
const char kBlogUrl[] = "http://blog.example.com/";
const char kBrowserWindowTitle[] = "Microsoft Internet Explorer";

const char kSettingsFile[] = "Config.ini";
const char kSection[] = "Parameter";
const char kKeyPeriod[] = "检测周期";
const char kKeyLength[] = "倒计时";
const char kKeyForce[] = "强制执行";
const char kKeyPing[] = "新浪";
const char kKeyWeb[] = "百度";
const char kTrue[] = "True";
const char kFalse[] = "False";
const char kDefaultPeriod[] = "5";
const char kDefaultLength[] = "60";

const char kPortalHost[] = "www.baidu.com";
const char kPortalUrl[] = "http://www.baidu.com/";

}  // namespace vd::texts
