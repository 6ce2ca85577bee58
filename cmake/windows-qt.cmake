# SPDX-FileCopyrightText: 2026 Соколов А. В.
# SPDX-License-Identifier: LicenseRef-proprietary
# The `windows` preset's toolchain: MinGW-w64 (mingw-w64.cmake) and the Qt for Windows that
# scripts/build-qt-windows keeps in its cache, which that script names (or LUMERA_QT_WINDOWS).
if(DEFINED ENV{LUMERA_QT_WINDOWS})
    set(lumera_qt_windows "$ENV{LUMERA_QT_WINDOWS}")
else()
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/build-qt-windows --prefix
                    OUTPUT_VARIABLE lumera_qt_windows OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
set(lumera_qt_toolchain "${lumera_qt_windows}/lib/cmake/Qt6/qt.toolchain.cmake")
if(NOT EXISTS "${lumera_qt_toolchain}")
    message(FATAL_ERROR "No Qt for Windows in ${lumera_qt_windows}: build it once with "
                        "scripts/install-deps windows && scripts/build-qt-windows")
endif()
# Qt's toolchain chains the one Qt was built with; name ours from this checkout, wherever it is.
set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")
include("${lumera_qt_toolchain}")
