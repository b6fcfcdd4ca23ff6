# Run by CPack twice, so that two builds of one commit give the same package:
# - between staging and archiving, it sets the time of every staged file and folder;
# - after archiving, it hands ZIP archives to strip-nondeterminism, which sorts the entries and
#   drops the owner and the times that libarchive adds.
# The time is SOURCE_DATE_EPOCH, or else that of the source's last commit.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
    execute_process(COMMAND git -C "${CPACK_ALMANORIA_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed
                    ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        message(WARNING "Neither SOURCE_DATE_EPOCH nor a git commit: the package keeps the times of its files")
        return()
    endif()
endif()

if(NOT DEFINED CPACK_PACKAGE_FILES)
    execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@${epoch}" {} +
                    COMMAND_ERROR_IS_FATAL ANY)
    return()
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "\\.zip$")
        find_program(ALMANORIA_STRIP_NONDETERMINISM strip-nondeterminism)
        if(NOT ALMANORIA_STRIP_NONDETERMINISM)
            message(WARNING "No strip-nondeterminism (Debian package strip-nondeterminism): ${package} is not reproducible")
            return()
        endif()
        execute_process(COMMAND ${ALMANORIA_STRIP_NONDETERMINISM} --type zip --timestamp ${epoch}
                                "${package}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
