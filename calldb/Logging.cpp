#include "calldb/Logging.h"

namespace torvane {
Q_LOGGING_CATEGORY(lcDb, "torvane.db", QtCriticalMsg)
}
