// resources/: where a skin's files come from and how they are read: the skin settings and file
// reader, the skin zip reader (its innards are *_internal.h), the markup parser, the resource table
// and the parsing of attribute values. Uses base only.
#pragma once
#include "ui/core/resources/attribute_values.h"
#include "ui/core/resources/markup.h"
#include "ui/core/resources/resource_table.h"
#include "ui/core/resources/skin_file.h"
#include "ui/core/resources/zip_archive.h"
