# Shared by the end-to-end scripts that drive the installed program (sourced, not run).

# Sets $profiles (the user's profile files) and $tracelog: the program's folders of the
# signed-in user, as Unix paths.
user_folders() {
    local roaming local_data
    roaming=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
    local_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
    profiles="${roaming%/}/Orbiscope/Remote/Profiles"
    tracelog="${local_data%/}/Orbiscope/Remote/trace.log"
}

# Ends what the script started ($started, by process id): each gets 5 s to end on its own
# once its window was closed, then is ended.
end_started() {
    local pid
    for pid in "${started[@]}"; do
        for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill "$pid" 2>/dev/null || true
    done
}
