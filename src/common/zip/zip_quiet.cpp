#include "common/zip/zip_quiet.h"

namespace {

thread_local bool t_quiet = false;

}  // namespace

ZipQuietScope::ZipQuietScope() : outer_(t_quiet) { t_quiet = true; }

ZipQuietScope::~ZipQuietScope() { t_quiet = outer_; }

bool ZipQuietScope::Active() { return t_quiet; }
