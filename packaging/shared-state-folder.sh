# make_shared_state_folder FOLDER: FOLDER, where the programs of the group
# dravovexa keep what the whole machine shares, made if missing. The group
# is made too. Set-group-ID and a default ACL make every file and folder any
# member creates there writable by the other members, whatever their umask.
make_shared_state_folder() {
	folder=$1
	if ! getent group dravovexa >/dev/null; then
		groupadd --system dravovexa
	fi
	mkdir -p "$folder"
	chown root:dravovexa "$folder"
	chmod 2775 "$folder"
	if ! setfacl -m g:dravovexa:rwx -d -m g:dravovexa:rwX -d -m m::rwx "$folder" 2>/dev/null; then
		echo "aviso: o sistema de arquivos de $folder não aceita ACL; os usuários do grupo dravovexa precisam de umask 002" >&2
	fi
}
