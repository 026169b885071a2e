#include "engine/zqpm/step_text.h"

#include "engine/job/prompt.h"

std::wstring GetStepText(int step) {
  switch (step) {
    case 1:
      return L"正在初始化环境......";
    case 2:
      return L"正在准备安装依赖.....";
    case 3:
      return L"正在检查环境......";
    case 4:
      return L"正在释放安装包......";
    case 5:
      return L"正在收集安装信息......";
    case 6:
      return L"正在解析安装包......";
    case 7:
      return L"正在创建目录：";
    case 8:
      return L"正在下载文件：";
    case 9:
      return L"正在拷贝文件：";
    case 10:
      return L"正在删除文件：";
    case 11:
      return L"正在运行组件：";
    case 12:
      return L"正在创建快捷方式：";
    case 13:
      return L"正在注册信息：";
    case 14:
      return L"正在生成卸载信息：";
    case 16:
      return L"";
    case 17:
      return L"正在更新注册表：";
    case 18:
      return L"正在开启服务：";
    case 19:
      return L"正在删除服务：";
    case 20:
    case 21:
    case 22:
    case 23:
      return L"正在执行：";
    case 24:
      return L"正在卸载运行：";
    case 25:
      return L"正在清理：";
    case 26:
      return L"安装完成";
    case 29:
      return L"正在安装TamselPelluvo... ...";
    default:
      return L"正在执行其它行为......";
  }
}

int ProgressMeter::AddStep(int step, int delta) {
  percent_ += delta;
  if (step == ProgressStep::kDone) {
    percent_ = 100;
  } else if (percent_ >= 100) {
    percent_ = 99;
  }
  return percent_;
}

int ProgressMeter::Within(int done, int total, int parts) const {
  if (parts <= 0) return percent_;
  const int unit = total / parts + total % parts;
  if (unit <= 0) return percent_;
  int shown = percent_ + done / unit + (done % unit != 0 ? 1 : 0);
  return shown > 99 ? 99 : shown;
}

std::wstring PercentText(int percent) { return std::to_wstring(percent) + L"%"; }
