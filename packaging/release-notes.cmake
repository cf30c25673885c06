# The release notes, read from the repository's CHANGELOG: each version is a
# line "VERSION (YYYY-MM-DD)", a blank line and its "  * " items. From them
# come the Debian changelog (signed by TOPPLETON_MAINTAINER) and the AppStream
# release list. The newest version must be the project's, so that a version
# is never shipped without its entry.

# Day of the week, 0 for Sunday, of a date in the Gregorian calendar.
function(day_of_week year month day out)
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  if(month LESS 3)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR dow "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
  set(${out} ${dow} PARENT_SCOPE)
endfunction()

# The date YYYY-MM-DD as a Debian changelog signs it (RFC 5322), at
# midnight UTC.
function(changelog_date date out)
  string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" ymd ${date})
  set(year ${CMAKE_MATCH_1})
  math(EXPR month "${CMAKE_MATCH_2}")  # without the leading zero
  set(day ${CMAKE_MATCH_3})
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  day_of_week(${year} ${month} ${day} dow)
  list(GET weekdays ${dow} weekday)
  math(EXPR index "${month} - 1")
  list(GET months ${index} monthname)
  set(${out} "${weekday}, ${day} ${monthname} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# read_release_notes(CHANGELOG_FILE): sets DEBIAN_CHANGELOG and
# METAINFO_RELEASES in the caller's scope.
function(read_release_notes file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} notes)
  set(heading "(^|\n)([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)\n")

  set(debian "")
  set(releases "")
  set(newest "")
  while(notes MATCHES "${heading}")
    set(version ${CMAKE_MATCH_2})
    set(date ${CMAKE_MATCH_3})
    if(NOT newest)
      set(newest ${version})
    endif()
    # This version's items run to the next heading or to the end.
    string(FIND "${notes}" "${CMAKE_MATCH_0}" start)
    string(LENGTH "${CMAKE_MATCH_0}" length)
    math(EXPR start "${start} + ${length}")
    string(SUBSTRING "${notes}" ${start} -1 notes)
    if(notes MATCHES "${heading}")
      string(FIND "${notes}" "${CMAKE_MATCH_0}" end)
      string(SUBSTRING "${notes}" 0 ${end} items)
    else()
      set(items "${notes}")
    endif()
    string(STRIP "${items}" items)
    if(NOT items MATCHES "^\\* ")
      message(FATAL_ERROR "CHANGELOG: version ${version} has no \"  * \" items")
    endif()

    changelog_date(${date} signed)
    string(APPEND debian "${PROJECT_NAME} (${version}) unstable; urgency=medium\n\n"
                         "  ${items}\n\n -- ${TOPPLETON_MAINTAINER}  ${signed}\n\n")
    string(APPEND releases "    <release version=\"${version}\" date=\"${date}\"/>\n")
  endwhile()

  if(NOT newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG's newest version is \"${newest}\" but the project's is "
                        "${PROJECT_VERSION}: give the version its entry")
  endif()
  string(STRIP "${debian}" debian)
  string(STRIP "${releases}" releases)
  set(DEBIAN_CHANGELOG "${debian}\n" PARENT_SCOPE)
  set(METAINFO_RELEASES "${releases}" PARENT_SCOPE)
endfunction()
