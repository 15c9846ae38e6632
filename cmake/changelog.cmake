# Reads the release notes of CHANGELOG.md (format described at its top).
#
# tavrin_read_changelog(FILE VERSION)
# sets in the caller's scope:
#   TAVRIN_RELEASE_DATE      the newest release's date, YYYY-MM-DD
#   TAVRIN_RELEASES_XML      <release> elements for AppStream metadata, newest first
# and stops the configuration when the newest release is not VERSION, so that
# a version raised without its notes cannot be packaged.
function(tavrin_read_changelog file version)
    # CMake would take ";" and brackets for list syntax while the lines are
    # walked: they stand in as control characters until the text is put out.
    file(READ "${file}" text)
    string(ASCII 1 semicolon)
    string(ASCII 2 open_bracket)
    string(ASCII 3 close_bracket)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE ";" "${semicolon}" text "${text}")
    string(REPLACE "[" "${open_bracket}" text "${text}")
    string(REPLACE "]" "${close_bracket}" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(releases "")
    set(newest_version "")
    set(newest_date "")
    set(item "")
    set(items "")
    set(in_release FALSE)

    # The text of a line or item as it stands in the file.
    macro(_tavrin_restore var)
        string(REPLACE "${semicolon}" ";" ${var} "${${var}}")
        string(REPLACE "${open_bracket}" "[" ${var} "${${var}}")
        string(REPLACE "${close_bracket}" "]" ${var} "${${var}}")
    endmacro()
    # Closes the item being read (if any) as one <li>.
    macro(_tavrin_close_item)
        if(NOT item STREQUAL "")
            _tavrin_restore(item)
            string(REPLACE "&" "&amp;" item "${item}")
            string(REPLACE "<" "&lt;" item "${item}")
            string(REPLACE ">" "&gt;" item "${item}")
            string(APPEND items "            <li>${item}</li>\n")
            set(item "")
        endif()
    endmacro()
    # Closes the release being read (if any) as one <release>.
    macro(_tavrin_close_release)
        _tavrin_close_item()
        if(in_release)
            if(items STREQUAL "")
                message(FATAL_ERROR "${file}: release ${release_version} lists no changes")
            endif()
            string(APPEND releases
                "    <release version=\"${release_version}\" date=\"${release_date}\">\n"
                "      <description>\n        <ul>\n${items}        </ul>\n      </description>\n"
                "    </release>\n")
            set(items "")
        endif()
    endmacro()

    foreach(line IN LISTS lines)
        if(line MATCHES "^## ([0-9][0-9.]*) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
            _tavrin_close_release()
            set(in_release TRUE)
            set(release_version "${CMAKE_MATCH_1}")
            set(release_date "${CMAKE_MATCH_2}")
            if(newest_version STREQUAL "")
                set(newest_version "${release_version}")
                set(newest_date "${release_date}")
            endif()
        elseif(line MATCHES "^## ")
            _tavrin_restore(line)
            message(FATAL_ERROR "${file}: '${line}' is not '## VERSION (YYYY-MM-DD)'")
        elseif(in_release AND line MATCHES "^- (.*)$")
            _tavrin_close_item()
            set(item "${CMAKE_MATCH_1}")
        elseif(in_release AND NOT item STREQUAL "" AND line MATCHES "^  +(.*)$")
            string(APPEND item " ${CMAKE_MATCH_1}")
        elseif(in_release AND NOT line STREQUAL "")
            _tavrin_restore(line)
            message(FATAL_ERROR "${file}: '${line}' in release ${release_version} is not a '- ' item")
        endif()
    endforeach()
    _tavrin_close_release()

    if(NOT newest_version STREQUAL version)
        message(FATAL_ERROR
            "${file}: the newest release is '${newest_version}', the project's version is "
            "'${version}'; add the release's notes before packaging it")
    endif()
    set(TAVRIN_RELEASE_DATE "${newest_date}" PARENT_SCOPE)
    set(TAVRIN_RELEASES_XML "${releases}" PARENT_SCOPE)
endfunction()
