// The engine object: its getter, the job dispatcher and worker thread, the registration of
// the window and the log operation.
#include "engine/zqpm/zqpm.h"

#include <objbase.h>
#include <process.h>

#include <cerrno>
#include <memory>

#include "common/log/vlog.h"
#include "common/sys/self_path.h"
#include "engine/job/install_paths.h"
#include "engine/update/update_eng_ex.h"

ZQPM* ZQPM::GetInstance() {
  // Lives until the process ends; its update engine is a static of its own.
  static ZQPM* const engine = [] {
    CoInitialize(nullptr);
    return new ZQPM();
  }();
  return engine;
}

ZQPM::ZQPM() : m_pUpdateEng(&CUpdateEngEx::GetInstance()) {
  // Every report goes through the relay, so a window can leave while a job runs.
  m_pUpdateEng->prompt = &m_UIPrompt;
  m_pUpdateEng->installedProduct.errorSink = &m_UIPrompt;
  m_pUpdateEng->newProduct.errorSink = &m_UIPrompt;
}

int ZQPM::Install(OpePARAMEx* record) { return Dispatch(record, "install failed, error code is %d"); }

int ZQPM::Uninstall(OpePARAMEx* record) { return Dispatch(record, "Unintall failed, error code is %d"); }

int ZQPM::WebInstall(OpePARAMEx* record) { return Dispatch(record, "WebInstall failed, error code is %d"); }

int ZQPM::Dispatch(OpePARAMEx* record, const char* failedText) {
  if (!record) {
    VLOG_ERROR("Dispatch, no job record");
    return kJobNotStarted;
  }
  bool idle = false;
  if (!m_JobRunning.compare_exchange_strong(idle, true)) {
    VLOG_ERROR("Dispatch, a job is running already, mode %d refused", record->mode);
    return kJobNotStarted;
  }
  if (record->useWorkerThread) {
    // The worker owns a copy: the window may change or lose its record meanwhile.
    std::unique_ptr<OpePARAMEx> copy(new OpePARAMEx(*record));
    const uintptr_t thread = _beginthreadex(nullptr, 0, &ZQPM::InstallProc, copy.get(), 0, nullptr);
    if (thread == 0) {
      VLOG_ERROR("Dispatch, _beginthreadex failed, errno %d", errno);
      m_JobRunning = false;
      return kJobNotStarted;
    }
    copy.release();
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return kJobDone;
  }
  const int result = RunJob(*record);
  m_JobRunning = false;
  if (result != kJobDone) VLOG_ERROR(failedText, result);
  return result;
}

int ZQPM::RunJob(OpePARAMEx& record) {
  switch (record.mode) {
    case OpePARAMEx::CMD_INSTALL:
    case OpePARAMEx::CMD_SILENT_INSTALL:
      return In_Install(&record);
    case OpePARAMEx::CMD_UNINSTALL:
    case OpePARAMEx::CMD_SILENT_UNINSTALL:
      return In_Uninstall(&record);
    case OpePARAMEx::CMD_WEB_INSTALL:
    case OpePARAMEx::CMD_WEB_SILENT_INSTALL:
      return In_WebInstall(&record);
    default:
      return kJobDone;
  }
}

unsigned __stdcall ZQPM::InstallProc(void* param) {
  std::unique_ptr<OpePARAMEx> record(static_cast<OpePARAMEx*>(param));
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  ZQPM* engine = GetInstance();
  const int result = engine->RunJob(*record);
  engine->m_JobRunning = false;
  if (result != kJobDone) {
    VLOG_ERROR("InstallProc, Run fail, nret %d, err %d", result, static_cast<int>(GetLastError()));
    return static_cast<unsigned>(result);
  }
  VLOG_INFO("InstallProc, Run success");
  return 0;
}

void ZQPM::SetUIPrompt(IInstallUIPromptEx* prompt) { m_UIPrompt.Attach(prompt); }

void ZQPM::Log(int level, const char* format, va_list args) {
  if (level < vemtal::vlog::LOG_LEVEL_TRACE || level > vemtal::vlog::LOG_LEVEL_FATAL || !format) return;
  vemtal::vlog::LogFormatV(level, __FILE__, __LINE__, format, args);
}

std::wstring ZQPM::GetSelfFileName() {
  if (m_SelfFileName.empty()) m_SelfFileName = FileNameOf(SelfPath());
  return m_SelfFileName;
}

void ZQPM::Report(int step, int percentDelta, const std::wstring& detail) {
  m_UIPrompt.OnProgress(step, percentDelta, detail);
}
