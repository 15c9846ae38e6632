# Reads the release notes of CHANGELOG.md (format described at its top).
#
# tavrin_read_changelog(FILE VERSION)
# sets in the caller's scope:
#   TAVRIN_RELEASE_DATE      the newest release's date, YYYY-MM-DD
#   TAVRIN_RELEASES_XML      <release> elements for AppStream metadata, newest first
# and stops the configuration when the newest release is not VERSION, so that
# a version raised without its notes cannot be packaged.
function(tavrin_read_changelog file version)
    # Escaped for XML as a whole; ";" and brackets become character references
    # too, as CMake would take them for list syntax.
    file(READ "${file}" text)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE ";" "&#59;" text "${text}")
    string(REPLACE "[" "&#91;" text "${text}")
    string(REPLACE "]" "&#93;" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(releases "")
    set(newest_version "")
    set(newest_date "")
    set(item "")
    set(items "")
    set(in_release FALSE)

    # Closes the item being read (if any) as one <li>.
    macro(_tavrin_close_item)
        if(NOT item STREQUAL "")
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
            message(FATAL_ERROR "${file}: '${line}' is not '## VERSION (YYYY-MM-DD)'")
        elseif(in_release AND line MATCHES "^- (.*)$")
            _tavrin_close_item()
            set(item "${CMAKE_MATCH_1}")
        elseif(in_release AND NOT item STREQUAL "" AND line MATCHES "^  +(.*)$")
            string(APPEND item " ${CMAKE_MATCH_1}")
        elseif(in_release AND NOT line STREQUAL "")
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
